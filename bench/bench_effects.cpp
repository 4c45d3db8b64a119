// Effect speed on a 12-megapixel (4000 x 3000) ARGB picture: each colour
// effect's first pass (Apply) and its repeat (Redo), a flip and a quarter
// turn of the source, the display rebuilt at 1000 x 750, and one plain copy
// of the same pixels as the floor. Every figure is also shown as x_copy, its
// time divided by the copy's.
//
// Goals: every colour pass within 1.5 x the copy, a flip or quarter turn
// within 3 x.

#include "ColorEffects.h"
#include "EffectImage.h"
#include "GeometricEffects.h"
#include "MyGdiPlus.h"

#include "BenchSupport.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <functional>

namespace {

constexpr int PhotoW = 4000;
constexpr int PhotoH = 3000;

QImage Photo()
{
    QImage image = NewBitmap(PhotoW, PhotoH);
    for (int y = 0; y < PhotoH; ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < PhotoW; ++x)
            line[x] = qRgb((x * 7) & 255, (y * 5) & 255, (x ^ y) & 255);
    }
    return image;
}

using TClock = std::chrono::steady_clock;

// The fastest of a few plain copies, in seconds.
double CopySeconds()
{
    static const double seconds = [] {
        const QImage source = Photo();
        QImage target = NewBitmap(PhotoW, PhotoH);
        double best = 1e9;
        for (int i = 0; i < 10; ++i) {
            const auto start = TClock::now();
            std::memcpy(target.bits(), source.constBits(), size_t(source.sizeInBytes()));
            benchmark::DoNotOptimize(target.bits());
            best = std::min(best, std::chrono::duration<double>(TClock::now() - start).count());
        }
        return best;
    }();
    return seconds;
}

// Runs step once per iteration and reports its time against the copy.
void Measure(benchmark::State& state, const std::function<void()>& step)
{
    double total = 0;
    for (auto _ : state) {
        const auto start = TClock::now();
        step();
        total += std::chrono::duration<double>(TClock::now() - start).count();
    }
    state.counters["x_copy"] = total / double(state.iterations()) / CopySeconds();
    state.SetItemsProcessed(state.iterations() * int64_t(PhotoW) * PhotoH);
}

void BM_CopyPixels(benchmark::State& state)
{
    const QImage source = Photo();
    QImage target = NewBitmap(PhotoW, PhotoH);
    Measure(state, [&] {
        std::memcpy(target.bits(), source.constBits(), size_t(source.sizeInBytes()));
        benchmark::DoNotOptimize(target.bits());
    });
}

template <class TEffect> void ColourPass(benchmark::State& state, TEffect& effect, bool redo)
{
    QImage image = Photo();
    effect.Apply(image); // the tables for Redo
    Measure(state, [&] {
        if (redo)
            effect.Redo(image);
        else
            effect.Apply(image);
        benchmark::DoNotOptimize(image.constBits());
    });
}

void BM_RGBAdjust(benchmark::State& state)
{
    TRGBAdjust effect;
    effect.SetRed(40);
    effect.SetGreen(-20);
    effect.SetBlue(10);
    ColourPass(state, effect, state.range(0) != 0);
}

void BM_ColorAdjust(benchmark::State& state)
{
    TColorAdjust effect;
    effect.SetBrightness(20);
    effect.SetContrast(30);
    effect.SetGamma(1.4);
    ColourPass(state, effect, state.range(0) != 0);
}

void BM_Saturation(benchmark::State& state)
{
    TSaturation effect;
    effect.SetSaturation(380);
    ColourPass(state, effect, state.range(0) != 0);
}

void BM_FlipX(benchmark::State& state)
{
    QImage image = Photo();
    TFlipX flip;
    Measure(state, [&] { flip.Apply(image); });
}

void BM_Rotate90(benchmark::State& state)
{
    QImage image = Photo();
    TRotate90 turn;
    Measure(state, [&] { turn.Apply(image); });
}

void BM_RebuildDisplay(benchmark::State& state)
{
    TEffectImage picture;
    picture.SetBitmap(Photo(), 400, 300, false);
    Measure(state, [&] { picture.ResizeDisplay(1000, 750); });
}

} // namespace

// Argument: 0 Apply, 1 Redo.
BENCHMARK(BM_CopyPixels)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RGBAdjust)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ColorAdjust)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Saturation)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FlipX)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Rotate90)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RebuildDisplay)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    return RunBenchmarks(argc, argv);
}
