#include "AdjustEffects.h"

std::unique_ptr<TColorAdjust> TAdjustEffects::Brightness(int Brightness, int Contrast,
                                                         int GammaPosition)
{
    auto effect = std::make_unique<TColorAdjust>();
    effect->SetContrast(Contrast);
    effect->SetBrightness(Brightness);
    effect->SetGamma(double(GammaPosition) / 100.0);
    return effect;
}

std::unique_ptr<TRGBAdjust> TAdjustEffects::ColorBalance(int Red, int Green, int Blue)
{
    auto effect = std::make_unique<TRGBAdjust>();
    effect->SetRed(Red);
    effect->SetBlue(Blue);
    effect->SetGreen(Green);
    return effect;
}

std::unique_ptr<TSaturation> TAdjustEffects::Saturation(int Factor)
{
    auto effect = std::make_unique<TSaturation>();
    effect->SetSaturation(Factor);
    return effect;
}
