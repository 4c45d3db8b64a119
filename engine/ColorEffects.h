#pragma once

// Colour effects through per-channel look-up tables.

#include "EffectBase.h"

#include <array>
#include <cstdint>
#include <vector>

using TLUT = std::array<uint8_t, 256>;

// Fills Table[X1 .. X2] with a fixed-point line from Y1 toward Y2; nothing
// when X2 <= X1.
void RampLUT(TLUT& Table, uint8_t X1, uint8_t Y1, uint8_t X2, uint8_t Y2);
// Maps every pixel's red, green and blue through R, G and B; alpha is kept.
void ApplyLUTs(QImage& Image, const TLUT& R, const TLUT& G, const TLUT& B);
// Out[x] = Tables[n](... Tables[1](Tables[0][x])).
void ComposeLUTs(const std::vector<const TLUT*>& Tables, TLUT& Out);
// The grey-mix pass of the saturation effect.
void SaturationPass(QImage& Image, const std::array<int32_t, 768>& GreyTable,
                    const std::array<uint16_t, 256>& ScaleTable);

class TRGBAdjust : public TEffectUndoWithBMP
{
public:
    void SetRed(int Value) { Red = Value; }
    void SetGreen(int Value) { Green = Value; }
    void SetBlue(int Value) { Blue = Value; }
    void Apply(QImage& Image) override;
    void Redo(QImage& Image) override;

    TLUT RedTable{};
    TLUT BlueTable{};
    TLUT GreenTable{};
    int32_t Blue = 0;
    int32_t Red = 0;
    int32_t Green = 0;
};

class TColorAdjust : public TEffectUndoWithBMP
{
public:
    void SetBrightness(int Value) { Brightness = Value; }
    void SetContrast(int Value) { Contrast = Value; }
    void SetGamma(double Value) { Gamma = Value; }
    void Apply(QImage& Image) override;
    void Redo(QImage& Image) override;

    int32_t Brightness = 0;
    int32_t Contrast = 0;
    TLUT CompositeTable{};
    double Gamma = 0;
};

class TSaturation : public TEffectUndoWithBMP
{
public:
    void SetSaturation(int Value) { SaturationFactor = Value; }
    void Apply(QImage& Image) override;
    void Redo(QImage& Image) override;

    int32_t SaturationFactor = 0;
    std::array<int32_t, 768> GreyTable{};
    std::array<uint16_t, 256> ScaleTable{};
};
