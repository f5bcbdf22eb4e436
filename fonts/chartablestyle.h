#pragma once

#include <QRgb>

// Layout and colours of the character-set table.
class CharTableStyle
{
public:
    virtual ~CharTableStyle() = default;

    int nPerRow = 0;
    int nCellW = 0;
    int nCellH = 0;
    int nOuterPen = 0;
    int nInnerPen = 0;
    int nLeft = 0;
    int nTop = 0;
    int nDot = 1;
    QRgb crFrame = qRgb(0, 0, 0);
    QRgb crLit = qRgb(0, 0, 0);
    QRgb crCell = qRgb(255, 255, 255);
    QRgb crSelLit = qRgb(0, 0, 0);
    QRgb crSelCell = qRgb(255, 255, 0);
    QRgb crSelFrame = qRgb(255, 0, 0);
};
