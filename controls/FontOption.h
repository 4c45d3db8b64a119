#pragma once

// The style of a text overlay: its font, the two colours of its gradient and
// the gradient's angle.

#include "GdiDraw.h"

#include <QFont>

#include <cstdint>

class TFontOption
{
public:
    TFontOption();

    void SetColor1(TColorRef value) { Color1 = value; }
    void SetColor2(TColorRef value) { Color2 = value; }
    void SetAngle(uint16_t value) { Angle = value; }

    // The style sum of Font: bold 1, italic 2, underline 4, strike-out 8.
    int StyleSum() const;

    // Gradient start and end colours (red in the low byte).
    TColorRef Color1 = 0;
    TColorRef Color2 = 0;
    // Family, size in points (drawn as an em of that many pixels) and style.
    QFont Font;
    // Gradient angle in degrees.
    uint16_t Angle = 0;
};
