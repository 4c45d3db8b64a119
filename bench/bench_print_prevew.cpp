// The print preview in a 1500 x 950 control (a maximized print dialog) with
// a 4000 x 3000 composition on A4 paper at 300 dpi: handing the picture over,
// one paint (the cost of one mouse-move step of a drag), and printing the
// full-resolution picture into a PDF file.
//
// Goals: a paint under 8 ms, as on the canvas; handing over under 100 ms.

#include "PrintPrevew.h"
#include "SystemPrinter.h"

#include "BenchSupport.h"

#include <QApplication>
#include <QFileInfo>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

constexpr int PictureWidth = 4000;
constexpr int PictureHeight = 3000;

QImage MakePicture()
{
    QImage image(PictureWidth, PictureHeight, QImage::Format_ARGB32);
    for (int y = 0; y < PictureHeight; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < PictureWidth; ++x)
            line[x] = qRgb((x * 255) / PictureWidth, (y * 255) / PictureHeight, (x ^ y) & 0xFF);
    }
    return image;
}

// A4 at 300 dpi with 5 mm margins, written to a PDF file.
std::unique_ptr<TSystemPrinter> MakePdfPrinter(const QString& fileName)
{
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(fileName);
    printer->setResolution(300);
    printer->setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape,
                                       QMarginsF(5, 5, 5, 5), QPageLayout::Millimeter));
    return std::make_unique<TSystemPrinter>(std::move(printer));
}

struct TScene
{
    TScene() : Picture(MakePicture())
    {
        Preview = std::make_unique<TPrintPrevew>(MakePdfPrinter(Dir.filePath("page.pdf")));
        Preview->resize(1500, 950);
        Preview->show();
        QApplication::processEvents();
        Preview->SetPicture(Picture);
        Preview->PictureObject->SetSelected(true);
        QApplication::processEvents();
    }

    QTemporaryDir Dir;
    QImage Picture;
    std::unique_ptr<TPrintPrevew> Preview;
};

std::unique_ptr<TScene> TheScene;

TScene& Scene()
{
    if (!TheScene)
        TheScene = std::make_unique<TScene>();
    return *TheScene;
}

void BM_SetPicture(benchmark::State& state)
{
    TScene& scene = Scene();
    for (auto _ : state)
        scene.Preview->SetPicture(scene.Picture);
}
BENCHMARK(BM_SetPicture)->Unit(benchmark::kMillisecond);

void BM_PaintDragStep(benchmark::State& state)
{
    TPrintPrevew& preview = *Scene().Preview;
    int step = 0;
    for (auto _ : state) {
        preview.PictureObject->X += (step++ % 2) ? 1 : -1;
        preview.PictureObject->UpdateRegion();
        preview.repaint();
    }
}
BENCHMARK(BM_PaintDragStep)->Unit(benchmark::kMillisecond);

void BM_PrintToPdf(benchmark::State& state)
{
    TPrintPrevew& preview = *Scene().Preview;
    preview.AlignPicture(8, true);
    for (auto _ : state)
        preview.Print();
    // A print that failed would be swallowed: the file shows it was written.
    state.counters["pdf_MB"] = double(QFileInfo(Scene().Dir.filePath("page.pdf")).size()) / 1e6;
}
BENCHMARK(BM_PrintToPdf)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char** argv)
{
    return RunBenchmarks(argc, argv, {}, [] { TheScene.reset(); });
}
