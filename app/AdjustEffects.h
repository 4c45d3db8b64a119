#pragma once

// The colour effects of the adjustment dialogs, built from their track bar
// positions. Each call makes a new effect; the caller decides whether it is a
// preview (freed by the caller) or goes to the photo's history.

#include "ColorEffects.h"

#include <memory>

class TAdjustEffects
{
public:
    // Brightness -100 .. 100, contrast -127 .. 127, gamma in hundredths
    // (100 is a gamma of 1.0).
    static std::unique_ptr<TColorAdjust> Brightness(int Brightness, int Contrast,
                                                    int GammaPosition);
    // Offsets -255 .. 255 of the red, green and blue channels.
    static std::unique_ptr<TRGBAdjust> ColorBalance(int Red, int Green, int Blue);
    // Factor 0 .. 512; 256 leaves the colours unchanged.
    static std::unique_ptr<TSaturation> Saturation(int Factor);
};
