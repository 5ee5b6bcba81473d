#include "toolkit/FormFont.h"

QStringList FontFamiliesFor(const QString& Name) {
    // Arial's metrics (Liberation Sans) are close to MS Sans Serif's at 13 pixels.
    static const QStringList SansFallback = {QStringLiteral("Microsoft Sans Serif"),
                                             QStringLiteral("Liberation Sans"),
                                             QStringLiteral("Arial"), QStringLiteral("Nimbus Sans"),
                                             QStringLiteral("Liberation Sans Narrow")};
    QStringList Families;
    if (!Name.isEmpty())
        Families << Name;
    for (const QString& F : SansFallback)
        if (!Families.contains(F))
            Families << F;
    return Families;
}

QFont FormFont(const QString& Name, int Height) {
    QFont Font;
    Font.setFamilies(FontFamiliesFor(Name));
    Font.setStyleHint(QFont::SansSerif);
    if (Height != 0)
        Font.setPixelSize(Height < 0 ? -Height : Height);
    return Font;
}
