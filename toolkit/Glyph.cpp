#include "toolkit/Glyph.h"

#include <QPixmap>

QImage GlyphImage(const QImage& Picture, int NumGlyphs, int Index) {
    if (Picture.isNull() || NumGlyphs < 1 || Index < 0 || Index >= NumGlyphs)
        return {};
    const int Width = Picture.width() / NumGlyphs;
    const QRgb Transparent = Picture.pixel(0, Picture.height() - 1);
    QImage Glyph = Picture.copy(Index * Width, 0, Width, Picture.height())
                       .convertToFormat(QImage::Format_ARGB32);
    for (int Y = 0; Y < Glyph.height(); ++Y) {
        auto* Line = reinterpret_cast<QRgb*>(Glyph.scanLine(Y));
        for (int X = 0; X < Glyph.width(); ++X)
            if ((Line[X] & 0x00FFFFFF) == (Transparent & 0x00FFFFFF))
                Line[X] = 0;
    }
    return Glyph;
}

QIcon GlyphIcon(const QImage& Picture, int NumGlyphs) {
    QIcon Icon;
    Icon.addPixmap(QPixmap::fromImage(GlyphImage(Picture, NumGlyphs, 0)), QIcon::Normal);
    if (NumGlyphs >= 2)
        Icon.addPixmap(QPixmap::fromImage(GlyphImage(Picture, NumGlyphs, 1)), QIcon::Disabled);
    return Icon;
}
