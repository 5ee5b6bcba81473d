#include "toolkit/Screen.h"

#include <QGuiApplication>
#include <QScreen>
#include <cmath>

TScreen Screen;

int TScreen::PixelsPerInch() const {
    if (FOverride > 0)
        return FOverride;
    if (const QScreen* s = QGuiApplication::primaryScreen())
        return static_cast<int>(std::lround(s->logicalDotsPerInch()));
    return 96;
}
