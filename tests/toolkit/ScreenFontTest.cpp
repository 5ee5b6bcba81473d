#include "toolkit/FormFont.h"
#include "toolkit/Screen.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>

#include <gtest/gtest.h>

TEST(Screen, TestsCanPinTheResolution) {
    const int Real = Screen.PixelsPerInch();
    EXPECT_GT(Real, 0);
    Screen.SetPixelsPerInch(120);
    EXPECT_EQ(Screen.PixelsPerInch(), 120);
    Screen.SetPixelsPerInch(96);
    EXPECT_EQ(Screen.PixelsPerInch(), 96);
    Screen.SetPixelsPerInch(0);
    EXPECT_EQ(Screen.PixelsPerInch(), Real);
}

TEST(FormFont, NegativeHeightIsThePixelSize) {
    EXPECT_EQ(FormFont(QStringLiteral("MS Sans Serif"), -13).pixelSize(), 13);
    EXPECT_EQ(FormFont(QStringLiteral("MS Sans Serif"), 13).pixelSize(), 13);
    EXPECT_EQ(FontFamiliesFor(QStringLiteral("MS Sans Serif")).front(),
              QStringLiteral("MS Sans Serif"));
}

// The forms' fixed-size labels were laid out for MS Sans Serif; the face used instead must not
// be wider. The widest captions against their label widths:
TEST(FormFont, WidestCaptionsFitTheirLabels) {
    const QFont Font = FormFont(QStringLiteral("MS Sans Serif"), -13);
    const QFontMetrics Metrics(Font);
    EXPECT_NE(QFontInfo(Font).family(), QStringLiteral("DejaVu Sans"))
        << "DejaVu Sans clips the labels; is fonts-liberation installed?";
    const struct {
        const char* Caption;
        int Width;
    } Labels[] = {
        {"Nazwa użytkownika:", 131},
        {"Hasło:", 91},
        {"Wprowadź nowe hasło:", 146},
        {"Powtórz nowe hasło:", 146},
        {"Użytkownik:", 86},
        {"Nazwa użytkownika w Zortan:", 201},
        {"Nazwa użytkownika sieciowego:", 201},
        {"Prawa użytkownika dla obiektów:", 216},
        {"Wszystkie prawa:", 146},
    };
    for (const auto& L : Labels)
        EXPECT_LE(Metrics.horizontalAdvance(QString::fromUtf8(L.Caption)), L.Width) << L.Caption;
}
