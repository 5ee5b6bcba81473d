#pragma once
// Bitmap glyphs as speed and bitmap buttons use them: one picture holding NumGlyphs images of
// equal width side by side (normal, then disabled), whose bottom-left pixel's colour is
// transparent.
//
//   Button->setIcon(GlyphIcon(QImage(":/glyphs/add.bmp"), 2));

#include <QIcon>
#include <QImage>

// Image Index (from 0) of Picture, with the transparent colour made transparent.
QImage GlyphImage(const QImage& Picture, int NumGlyphs, int Index);
// Normal and (when there is a second image) disabled modes of an icon.
QIcon GlyphIcon(const QImage& Picture, int NumGlyphs);
