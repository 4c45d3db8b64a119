// Frame rendering speed: each kind of frame at photo size and at thumbnail
// size, a frame file loaded and rendered at thumbnail size, and one plain
// copy of a photo-sized bitmap's pixels to compare them with.
//
// Goals: a frame file loaded and rendered at 270 x 270 in under 5 ms, and a
// 4000 x 3000 render within 6 x the time of the plain copy.

#include "FrameMaker.h"
#include "MyGdiPlus.h"

#include "BenchSupport.h"

#include <QPainter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>

namespace {

// A picture with some detail, so that JPEG pieces are of realistic size.
QImage Pattern(int w, int h, int seed)
{
    QImage image = NewBitmap(w, h);
    for (int y = 0; y < h; ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < w; ++x)
            line[x] = qRgb((x * 7 + seed) & 255, (y * 5 + seed * 3) & 255, ((x ^ y) + seed) & 255);
    }
    return image;
}

// The JPEG stream the designers hand to a generator.
void LoadStream(TMemoryStream& stream, const QImage& picture)
{
    stream.open(QIODevice::ReadWrite);
    SaveBitmapToJpegStream(picture, stream);
    stream.seek(0);
}

std::unique_ptr<TFrameMakerBase> MakeSimple()
{
    auto maker = std::make_unique<TSimapleFrameMaker>();
    maker->SetFrameWidth(120);
    maker->SetFrameHeight(100);
    maker->SetOutEdge(4);
    maker->SetInnerEdge(6);
    maker->SetOutEdgeColor(0x00202020);
    maker->SetInnerEdgeColor(0x00C0C0C0);
    maker->SetUseTexture(true);
    TMemoryStream stream;
    LoadStream(stream, Pattern(128, 128, 1));
    maker->LoadTextureFromStream(stream);
    return maker;
}

std::unique_ptr<TFrameMakerBase> MakeOrnate()
{
    auto maker = std::make_unique<TOrnateFrameMaker>();
    maker->SetFrameSize(80);
    TMemoryStream stream;
    LoadStream(stream, Pattern(100, 100, 2));
    maker->LoadPieceFromStream(stream);
    return maker;
}

std::unique_ptr<TFrameMakerBase> MakePicture()
{
    // Corners 90 x 90, end pieces 90 x 40, edges 60 x 90 and 90 x 60.
    auto maker = std::make_unique<TPicFrameMaker>();
    for (int i = 0; i < TPicFrameMaker::PieceCount; ++i) {
        const bool corner = i % 3 == 0 && i != 3 && i != 9;
        const bool edge = i == 1 || i == 4 || i == 7 || i == 10;
        const bool horizontal = i == 1 || i == 7;
        int w = 90;
        int h = 90;
        if (edge)
            (horizontal ? w : h) = 60;
        else if (!corner)
            h = 40;
        maker->SetPiece(Pattern(w, h, i), i);
    }
    return maker;
}

std::unique_ptr<TFrameMakerBase> MakeKind(int kind)
{
    switch (kind) {
    case ftSimple:
        return MakeSimple();
    case ftOrnate:
        return MakeOrnate();
    default:
        return MakePicture();
    }
}

void BM_Render(benchmark::State& state)
{
    const auto maker = MakeKind(int(state.range(0)));
    const int w = int(state.range(1));
    const int h = int(state.range(2));
    for (auto _ : state) {
        maker->SetWidth(w);
        maker->SetHeight(h);
        QImage bitmap;
        maker->Render(bitmap);
        benchmark::DoNotOptimize(bitmap.constBits());
    }
    state.SetItemsProcessed(state.iterations() * int64_t(w) * h);
}

// The thumbnail road: type probe, factory, load, render.
void BM_LoadAndRenderThumbnail(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("frame.okx");
    MakeKind(int(state.range(0)))->SaveToFile(path);
    for (auto _ : state) {
        const auto maker = CreateFrameMaker(GetFrameFileType(path));
        maker->LoadFromFile(path);
        maker->SetWidth(270);
        maker->SetHeight(270);
        QImage bitmap;
        maker->Render(bitmap);
        benchmark::DoNotOptimize(bitmap.constBits());
    }
}

// One plain copy of a bitmap's pixels into a new bitmap, as a render makes
// a new bitmap; at 4000 x 3000 most of it is the fresh memory's first touch.
void BM_CopyPixels(benchmark::State& state)
{
    const QImage source = Pattern(int(state.range(0)), int(state.range(1)), 0);
    for (auto _ : state) {
        QImage target = CopyBitmap(source);
        benchmark::DoNotOptimize(target.constBits());
    }
    state.SetItemsProcessed(state.iterations() * int64_t(source.width()) * source.height());
}

// The same copy into memory that is already in use.
void BM_CopyPixelsInPlace(benchmark::State& state)
{
    const QImage source = Pattern(int(state.range(0)), int(state.range(1)), 0);
    QImage target = NewBitmap(source.width(), source.height());
    for (auto _ : state) {
        std::memcpy(target.bits(), source.constBits(), size_t(source.sizeInBytes()));
        benchmark::DoNotOptimize(target.bits());
    }
    state.SetItemsProcessed(state.iterations() * int64_t(source.width()) * source.height());
}

} // namespace

// Arguments: kind (0 simple, 1 ornate, 2 picture), width, height.
BENCHMARK(BM_Render)
    ->ArgsProduct({{ftSimple, ftOrnate, ftPicture}, {270}, {270}})
    ->ArgsProduct({{ftSimple, ftOrnate, ftPicture}, {3000}, {2000}})
    ->ArgsProduct({{ftSimple, ftOrnate, ftPicture}, {4000}, {3000}})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadAndRenderThumbnail)
    ->Arg(ftSimple)
    ->Arg(ftOrnate)
    ->Arg(ftPicture)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CopyPixels)->Args({3000, 2000})->Args({4000, 3000})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CopyPixelsInPlace)
    ->Args({3000, 2000})
    ->Args({4000, 3000})
    ->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    return RunBenchmarks(argc, argv);
}
