#pragma once
// The drawing surface handed to cell painting: brush and text colours, font, and the text
// alignment and text output of the Windows GDI, drawn with a QPainter.

#include "toolkit/GridTypes.h"

#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>
#include <cstdint>

class QPainter;

// A colour as Windows stores it: 0x00BBGGRR.
using TColor = int32_t;
QColor ColorRefToQColor(TColor Color);

inline QRect ToQRect(const TRect& R) {
    return QRect(R.Left, R.Top, R.Width(), R.Height());
}

// Text alignment flags: one horizontal (left, right, centre) or'ed with one vertical (top,
// bottom, baseline) reference for the point given to ExtTextOut.
constexpr uint32_t TA_LEFT = 0;
constexpr uint32_t TA_RIGHT = 2;
constexpr uint32_t TA_CENTER = 6;
constexpr uint32_t TA_TOP = 0;
constexpr uint32_t TA_BOTTOM = 8;
constexpr uint32_t TA_BASELINE = 24;

// ExtTextOut options: fill the rectangle with the brush colour first; clip the text to it.
constexpr uint32_t ETO_OPAQUE = 2;
constexpr uint32_t ETO_CLIPPED = 4;

class TCanvas {
public:
    // Binds the canvas to a painter for the life of the scope; drawing outside one does nothing.
    class TPainting {
    public:
        TPainting(TCanvas& Canvas, QPainter& Painter);
        ~TPainting();
        TPainting(const TPainting&) = delete;
        TPainting& operator=(const TPainting&) = delete;

    private:
        TCanvas& FCanvas;
    };

    QColor BrushColor() const { return FBrushColor; }
    void SetBrushColor(const QColor& Color) { FBrushColor = Color; }
    QColor FontColor() const { return FFontColor; }
    void SetFontColor(const QColor& Color) { FFontColor = Color; }
    const QFont& Font() const { return FFont; }
    void SetFont(const QFont& Font) { FFont = Font; }
    uint32_t TextAlign() const { return FTextAlign; }
    void SetTextAlign(uint32_t Flags) { FTextAlign = Flags; }

    void FillRect(const TRect& Rect);
    // Text at (X, Y) as TextAlign places it, in the font and font colour; ETO_OPAQUE fills Rect
    // with the brush colour first, ETO_CLIPPED keeps the text inside Rect. The text's background
    // is otherwise left as it is.
    void ExtTextOut(int X, int Y, uint32_t Options, const TRect& Rect, const QString& Text);

    // The painter while the canvas is bound to one, else null.
    QPainter* Painter() const { return FPainter; }

private:
    QPainter* FPainter = nullptr;
    QColor FBrushColor = Qt::white;
    QColor FFontColor = Qt::black;
    QFont FFont;
    uint32_t FTextAlign = TA_LEFT | TA_TOP;
};
