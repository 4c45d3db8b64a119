#include "ColorEffects.h"

#include "ExtMath.h"
#include "MyGdiPlus.h"
#include "PixelPass.h"

#include <algorithm>
#include <cmath>
#include <system_error>
#include <thread>
#include <vector>

namespace {

uint8_t Clamp255(int32_t v)
{
    return static_cast<uint8_t>(std::clamp(v, 0, 255));
}

// One channel offset: a positive value lifts the dark end to it, a negative
// one lowers the bright end by it. A value above 255 is clamped and stored.
void OffsetTable(TLUT& table, int32_t& value)
{
    table.fill(0);
    if (value < 0) {
        RampLUT(table, 0, 0, 255, static_cast<uint8_t>(255 + value));
    } else {
        value = std::min(value, 255);
        RampLUT(table, 0, static_cast<uint8_t>(value), 255, 255);
    }
}

void ContrastTable(TLUT& table, int32_t& c)
{
    table.fill(0);
    if (c < 0) {
        RampLUT(table, 0, static_cast<uint8_t>(-c), 255, static_cast<uint8_t>(255 + c));
        return;
    }
    c = std::min(c, 255);
    for (int i = 0; i < c; ++i)
        table[i] = 0;
    RampLUT(table, static_cast<uint8_t>(c), 0, static_cast<uint8_t>(255 - c), 255);
    for (int i = 256 - c; i <= 255; ++i)
        table[i] = 255;
}

void GammaTable(TLUT& table, double gamma)
{
    table.fill(0);
    if (!(gamma > 0))
        return;
    const TExtended g = gamma;
    for (int i = 1; i <= 255; ++i) {
        const TExtended v = 255.0L * std::exp(std::log(static_cast<TExtended>(i) / 255.0L) / g);
        table[i] = Clamp255(XRound(v));
    }
}

} // namespace

void RampLUT(TLUT& Table, uint8_t X1, uint8_t Y1, uint8_t X2, uint8_t Y2)
{
    if (X2 <= X1)
        return;
    const int32_t slope = ((int32_t(Y2) - int32_t(Y1) + 1) * 65536) / (int32_t(X2) - int32_t(X1));
    uint32_t g = uint32_t(Y1) * 65536u;
    for (int i = X1; i <= X2; ++i) {
        Table[i] = static_cast<uint8_t>(std::min<uint32_t>(255u, g >> 16));
        g += static_cast<uint32_t>(slope);
    }
}

void ApplyLUTs(QImage& Image, const TLUT& R, const TLUT& G, const TLUT& B)
{
    PassOverPixels(Image, [&](uint32_t p) {
        return (uint32_t(R[(p >> 16) & 0xFF]) << 16) | (uint32_t(G[(p >> 8) & 0xFF]) << 8) |
               uint32_t(B[p & 0xFF]);
    });
}

void ComposeLUTs(const std::vector<const TLUT*>& Tables, TLUT& Out)
{
    if (Tables.empty())
        return;
    Out = *Tables[0];
    for (size_t j = 1; j < Tables.size(); ++j)
        for (auto& v : Out)
            v = (*Tables[j])[v];
}

void SaturationPass(QImage& Image, const std::array<int32_t, 768>& GreyTable,
                    const std::array<uint16_t, 256>& ScaleTable)
{
    PassOverPixels(Image, [&](uint32_t p) {
        const uint32_t r = (p >> 16) & 0xFF;
        const uint32_t g = (p >> 8) & 0xFF;
        const uint32_t b = p & 0xFF;
        const int32_t grey = GreyTable[r + g + b];
        return (uint32_t(Clamp255(grey + ScaleTable[r])) << 16) |
               (uint32_t(Clamp255(grey + ScaleTable[g])) << 8) |
               uint32_t(Clamp255(grey + ScaleTable[b]));
    });
}

void TRGBAdjust::Apply(QImage& Image)
{
    OffsetTable(RedTable, Red);
    OffsetTable(GreenTable, Green);
    OffsetTable(BlueTable, Blue);
    ApplyLUTs(Image, RedTable, GreenTable, BlueTable);
}

void TRGBAdjust::Redo(QImage& Image)
{
    ApplyLUTs(Image, RedTable, GreenTable, BlueTable);
}

void TColorAdjust::Apply(QImage& Image)
{
    TLUT brightness{};
    TLUT contrast{};
    TLUT gamma{};
    OffsetTable(brightness, Brightness);
    ContrastTable(contrast, Contrast);
    GammaTable(gamma, Gamma);
    ComposeLUTs({&brightness, &contrast, &gamma}, CompositeTable);
    ApplyLUTs(Image, CompositeTable, CompositeTable, CompositeTable);
}

void TColorAdjust::Redo(QImage& Image)
{
    ApplyLUTs(Image, CompositeTable, CompositeTable, CompositeTable);
}

void TSaturation::Apply(QImage& Image)
{
    const uint32_t s = static_cast<uint32_t>(SaturationFactor);
    for (uint32_t k = 0; k < 256; ++k)
        ScaleTable[k] = static_cast<uint16_t>((k * s) >> 8);
    for (int k = 0; k < 256; ++k) {
        const int32_t d = k - int32_t(ScaleTable[k]);
        GreyTable[3 * k] = d;
        GreyTable[3 * k + 1] = d;
        GreyTable[3 * k + 2] = d;
    }
    SaturationPass(Image, GreyTable, ScaleTable);
}

void TSaturation::Redo(QImage& Image)
{
    SaturationPass(Image, GreyTable, ScaleTable);
}
