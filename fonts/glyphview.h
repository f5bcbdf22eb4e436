#pragma once

#include <QRgb>

// How one magnified glyph is drawn: its dot grid, where it starts and the colours of its dots.
// The character-set dialog points one instance at the preview or at a table cell in turn.
class GlyphView
{
public:
    virtual ~GlyphView() = default;

    int nCols = 0;
    int nRows = 0;
    int nScaleX = 0;
    int nScaleY = 0;
    int nLeft = 0;
    int nTop = 0;
    int nDot = 1;
    QRgb crBack = qRgb(0, 0, 0);
    QRgb crLit = qRgb(0, 0, 0);
    QRgb crUnlit = qRgb(255, 255, 255);
};
