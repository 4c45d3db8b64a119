// The frame designers' live preview: every change of a control renders the
// whole 161 x 153 preview again, the band picture or tile first encoded as
// JPEG. Goal: under 30 ms a step for the pictures of the program folder's
// bkpic (a few hundred pixels), so that dragging a track bar stays smooth;
// a large photo chosen as band picture is measured as well (release build:
// 0.3 ms with a colour, 1.1 ms with a 256 x 256 picture, 148 ms with a
// 4000 x 3000 one; ornate tiles of 5 to 80 pixels 0.3 to 0.5 ms).

#include "OrnateFrameDesign.h"
#include "SimpleFrameDesign.h"

#include "BenchSupport.h"

#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

namespace {

// A picture with some detail, so that the JPEG encoder has work to do.
QImage DetailedPicture(int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x)
            row[x] = qRgb((x * 7 + y) & 0xFF, (y * 5 + x / 3) & 0xFF, ((x ^ y) * 3) & 0xFF);
    }
    return image;
}

void BM_SimplePreviewColour(benchmark::State& state)
{
    TSimpleFrameDesign design;
    for (auto _ : state) {
        const QImage preview = design.Preview(161, 153);
        benchmark::DoNotOptimize(preview.constBits());
    }
}
BENCHMARK(BM_SimplePreviewColour)->Unit(benchmark::kMillisecond);

void BM_SimplePreviewPicture(benchmark::State& state)
{
    TSimpleFrameDesign design;
    design.UsePicture = true;
    design.BackPicture = DetailedPicture(int(state.range(0)), int(state.range(1)));
    for (auto _ : state) {
        const QImage preview = design.Preview(161, 153);
        benchmark::DoNotOptimize(preview.constBits());
    }
}
BENCHMARK(BM_SimplePreviewPicture)
    ->Args({256, 256})
    ->Args({4000, 3000})
    ->Unit(benchmark::kMillisecond);

void BM_OrnatePreview(benchmark::State& state)
{
    TOrnateFrameDesign design;
    design.FrameSize = int(state.range(0));
    design.TilePicture = DetailedPicture(int(state.range(0)), int(state.range(0)));
    for (auto _ : state) {
        const QImage preview = design.Preview(161, 153);
        benchmark::DoNotOptimize(preview.constBits());
    }
}
BENCHMARK(BM_OrnatePreview)->Arg(5)->Arg(20)->Arg(80)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return RunBenchmarks(argc, argv);
}
