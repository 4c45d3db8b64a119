// Batch framing speed: one photo per iteration through the whole work of the
// wizard's run (decode the photo, load the frame anew, fit, render, draw,
// write the JPEG of quality 100), with a frame file and with a PNG frame, for
// a 12-megapixel photo into the 1600 x 1200 box and a 2-megapixel one into
// 800 x 600. Reported as photos per second.
//
// Goal: a 12-megapixel photo framed and written in under a second (release:
// 54 ms with a frame file, 77 ms with a PNG frame, 18 and 13 photos/s).

#include "BatchFramer.h"
#include "FrameMaker.h"
#include "MyGdiPlus.h"

#include "BenchSupport.h"

#include <QLinearGradient>
#include <QPainter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

class TBatchScene
{
public:
    TBatchScene()
    {
        for (const QSize size : {QSize(4000, 3000), QSize(1600, 1200)}) {
            QImage photo = NewBitmap(size.width(), size.height(), QImage::Format_RGB32);
            QPainter painter(&photo);
            QLinearGradient gradient(0, 0, size.width(), size.height());
            gradient.setColorAt(0, QColor(30, 90, 160));
            gradient.setColorAt(1, QColor(230, 200, 90));
            painter.fillRect(photo.rect(), gradient);
            painter.end();
            photo.save(PhotoName(size.width()), "JPG", 90);
        }
        TSimapleFrameMaker maker;
        maker.SetFrameWidth(60);
        maker.SetFrameHeight(60);
        maker.SaveToFile(FrameFile());
        QImage png = NewBitmap(1600, 1200);
        png.fill(QColor(120, 70, 30));
        QPainter painter(&png);
        painter.setCompositionMode(QPainter::CompositionMode_Clear);
        painter.fillRect(QRect(150, 150, 1300, 900), Qt::transparent);
        painter.end();
        png.save(PngFile(), "PNG");
    }

    QString PhotoName(int width) const
    {
        return m_dir.filePath(QStringLiteral("p%1.jpg").arg(width));
    }
    QString FrameFile() const { return m_dir.filePath(QStringLiteral("f.okx")); }
    QString PngFile() const { return m_dir.filePath(QStringLiteral("f.png")); }
    QString Output() const { return m_dir.filePath(QStringLiteral("out.jpg")); }

private:
    QTemporaryDir m_dir;
};

std::unique_ptr<TBatchScene> Scene;

void FramePhotos(benchmark::State& state, bool png)
{
    const int width = int(state.range(0));
    const QSize box = width == 4000 ? QSize(1600, 1200) : QSize(800, 600);
    const QString photo = Scene->PhotoName(width);
    const QString frame = png ? Scene->PngFile() : Scene->FrameFile();
    for (auto _ : state) {
        const QImage output = TBatchFramer::FramePhoto(photo, frame, png, box);
        benchmark::DoNotOptimize(TBatchFramer::WriteJpeg(output, Scene->Output()));
    }
    state.counters["photos/s"] =
        benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_BatchFrameFile(benchmark::State& state)
{
    FramePhotos(state, false);
}
void BM_BatchPngFrame(benchmark::State& state)
{
    FramePhotos(state, true);
}

BENCHMARK(BM_BatchFrameFile)->Arg(4000)->Arg(1600)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_BatchPngFrame)->Arg(4000)->Arg(1600)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    return RunBenchmarks(
        argc, argv,
        [] {
            Scene = std::make_unique<TBatchScene>();
            return true;
        },
        [] { Scene.reset(); });
}
