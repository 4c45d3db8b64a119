// The frame split control of the picture frame designer (405 x 280) with a
// 6000 x 4000 photo (24 megapixels): loading it (decode and one high-quality
// reduction), one paint (a step of a cut drag), cutting the twelve pieces at
// full resolution, and the designer's preview (cut and render at 603 x 603).
//
// Goals: a drag step's paint under 2 ms, independent of the photo's size;
// the preview after a drag under 150 ms.

#include "FrameSplit.h"
#include "PicFrameMaker.h"
#include "PictureFrame.h"

#include "BenchSupport.h"

#include <QApplication>
#include <QImage>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

constexpr int PictureWidth = 6000;
constexpr int PictureHeight = 4000;

struct TScene
{
    TScene()
    {
        QImage image(PictureWidth, PictureHeight, QImage::Format_RGB32);
        for (int y = 0; y < PictureHeight; ++y) {
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < PictureWidth; ++x)
                line[x] = qRgb((x * 255) / PictureWidth, (y * 255) / PictureHeight, (x ^ y) & 0xFF);
        }
        FileName = Dir.filePath("photo.jpg");
        image.save(FileName, "JPG", 90);
        Split = std::make_unique<TFrameSplit>();
        Split->resize(405, 280);
        Split->show();
        Split->InitSplit();
        Split->LoadPicture(FileName);
        QApplication::processEvents();
    }

    QTemporaryDir Dir;
    QString FileName;
    std::unique_ptr<TFrameSplit> Split;
};

std::unique_ptr<TScene> TheScene;

TScene& Scene()
{
    if (!TheScene)
        TheScene = std::make_unique<TScene>();
    return *TheScene;
}

void BM_LoadPicture(benchmark::State& state)
{
    TScene& scene = Scene();
    for (auto _ : state)
        scene.Split->LoadPicture(scene.FileName);
}
BENCHMARK(BM_LoadPicture)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_PaintDragStep(benchmark::State& state)
{
    TFrameSplit& split = *Scene().Split;
    TDSplit& grid = *split.Grid();
    int step = 0;
    for (auto _ : state) {
        grid.Splits[0].X += (step++ % 2) ? 1 : -1;
        split.repaint();
    }
}
BENCHMARK(BM_PaintDragStep)->Unit(benchmark::kMicrosecond);

void BM_ExtractPieces(benchmark::State& state)
{
    TFrameSplit& split = *Scene().Split;
    for (auto _ : state) {
        TPicFrameMaker maker;
        split.ExtractPieces(maker);
        benchmark::DoNotOptimize(maker.GetAddedWidth());
    }
}
BENCHMARK(BM_ExtractPieces)->Unit(benchmark::kMillisecond);

void BM_Preview(benchmark::State& state)
{
    TFrameSplit& split = *Scene().Split;
    for (auto _ : state) {
        const QImage preview = TfrmPictureFrame::RenderPreview(split, 603, 603);
        benchmark::DoNotOptimize(preview.constBits());
    }
}
BENCHMARK(BM_Preview)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return RunBenchmarks(argc, argv, {}, [] { TheScene.reset(); });
}
