#include "toolkit/SpeedButton.h"

#include "toolkit/Glyph.h"

TSpeedButton::TSpeedButton(QWidget* Owner) : QToolButton(Owner) {
    setAutoRaise(true);
    setFocusPolicy(Qt::NoFocus);
    setToolButtonStyle(Qt::ToolButtonIconOnly);
}

void TSpeedButton::SetGlyph(const QImage& Picture, int NumGlyphs) {
    FNumGlyphs = NumGlyphs;
    setIcon(GlyphIcon(Picture, NumGlyphs));
    if (NumGlyphs >= 1)
        setIconSize(QSize(Picture.width() / NumGlyphs, Picture.height()));
}
