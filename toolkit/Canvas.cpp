#include "toolkit/Canvas.h"

#include <QFontMetrics>
#include <QPainter>

QColor ColorRefToQColor(TColor Color) {
    const auto Bits = static_cast<uint32_t>(Color);
    return QColor(static_cast<int>(Bits & 0xFF), static_cast<int>((Bits >> 8) & 0xFF),
                  static_cast<int>((Bits >> 16) & 0xFF));
}

TCanvas::TPainting::TPainting(TCanvas& Canvas, QPainter& Painter) : FCanvas(Canvas) {
    FCanvas.FPainter = &Painter;
}

TCanvas::TPainting::~TPainting() {
    FCanvas.FPainter = nullptr;
}

void TCanvas::FillRect(const TRect& Rect) {
    if (FPainter && !Rect.IsEmpty())
        FPainter->fillRect(ToQRect(Rect), FBrushColor);
}

void TCanvas::ExtTextOut(int X, int Y, uint32_t Options, const TRect& Rect, const QString& Text) {
    if (!FPainter)
        return;
    if (Options & ETO_OPAQUE)
        FillRect(Rect);
    if (Text.isEmpty())
        return;

    const QFontMetrics Metrics(FFont, FPainter->device());
    int Left = X;
    switch (FTextAlign & TA_CENTER) {
    case TA_RIGHT:
        Left -= Metrics.horizontalAdvance(Text);
        break;
    case TA_CENTER:
        Left -= Metrics.horizontalAdvance(Text) / 2;
        break;
    default:
        break;
    }
    int Baseline = Y + Metrics.ascent();
    if ((FTextAlign & TA_BASELINE) == TA_BASELINE)
        Baseline = Y;
    else if ((FTextAlign & TA_BASELINE) == TA_BOTTOM)
        Baseline = Y - Metrics.descent();

    FPainter->save();
    if (Options & ETO_CLIPPED)
        FPainter->setClipRect(ToQRect(Rect), Qt::IntersectClip);
    FPainter->setFont(FFont);
    FPainter->setPen(FFontColor);
    FPainter->drawText(QPoint(Left, Baseline), Text);
    FPainter->restore();
}
