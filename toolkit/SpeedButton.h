#pragma once
// TSpeedButton: a flat tool button (the frame shows only under the mouse) that never takes the
// focus, shows its hint as a tooltip and draws a glyph picture of one or two images side by side
// (normal, then disabled) whose bottom-left colour is transparent (toolkit/Glyph.h).

#include <QImage>
#include <QToolButton>

class TSpeedButton : public QToolButton {
    Q_OBJECT
public:
    explicit TSpeedButton(QWidget* Owner = nullptr);

    void SetGlyph(const QImage& Picture, int NumGlyphs);
    int NumGlyphs() const { return FNumGlyphs; }

private:
    int FNumGlyphs = 0;
};
