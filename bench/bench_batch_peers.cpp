// Batch framing on every core against the tools a photographer would script
// otherwise, in the same run: 20 photos of 4000 x 3000 (JPEG quality 92)
// framed and written as JPEG of quality 100,
//   - with a 4000 x 3000 PNG frame (box "Custom" 4000 x 3000), against
//       vips composite2 photo.jpg frame.png out.jpg[Q=100] over
//       convert photo.jpg frame.png -composite -quality 100 out.jpg
//   - with a simple frame file of 300-pixel bands (the photo fitted into the
//     opening of the same box), against
//       vips resize photo.jpg t.v 0.8; vips embed t.v out.jpg[Q=100] 300 300 3800 3000 ...
//       convert photo.jpg -resize 3200x2400 -bordercolor ... -border 300 -quality 100 out.jpg
//   each peer run as 8 processes (xargs -P 8); and one photo with the PNG
//   frame through the canvas, opened, composed and saved, against one vips
//   process. Prints the times, the ratios, the longest time the thread that
//   drives a batch run goes without an event-loop turn, the threads a run
//   starts and the most alive at once, and the peak memory of runs of 10 and
//   of 300 photos.
//
// Goals: both batch jobs at most 0.5 x vips with 8 processes (aim 0.3); one
// photo through the canvas at most 0.8 x vips; the driving thread never more
// than 50 ms without an event-loop turn; peak memory flat from 10 to 300
// photos.

#include "BatchFramer.h"
#include "BatchRun.h"
#include "MyGdiPlus.h"
#include "QynKadrix.h"
#include "SimapleFrameMaker.h"
#include "WorkPool.h"

#include "BenchSupport.h"
#include "ThreadCount.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>

namespace {

constexpr int PhotoWidth = 4000;
constexpr int PhotoHeight = 3000;
constexpr int PhotoCount = 20;
constexpr int Band = 300;

struct TScene
{
    TScene()
    {
        QDir().mkpath(Photos());
        QDir().mkpath(Many());
        const QString first = Photos() + "/p0.jpg";
        MakeDetailedPhoto(PhotoWidth, PhotoHeight).save(first, "JPEG", 92);
        for (int i = 1; i < PhotoCount; ++i)
            QFile::copy(first, Photos() + QStringLiteral("/p%1.jpg").arg(i));
        // The memory runs: links to one photo, each with its own output.
        for (int i = 0; i < 300; ++i)
            QFile::link(first, Many() + QStringLiteral("/m%1.jpg").arg(i));
        MakeBandFramePicture(PhotoWidth, PhotoHeight, 400).save(PngFrame(), "PNG");
        TSimapleFrameMaker maker;
        maker.SetFrameWidth(Band);
        maker.SetFrameHeight(Band);
        maker.SetInnerEdge(0);
        maker.SetOutEdge(0);
        maker.SetBackColor(0x3070A0);
        maker.SaveToFile(FrameFile());
        // The pool starts with the first picture work; here before the runs,
        // so that a run's count shows what the run itself starts.
        TWorkPool::Instance();
    }
    QString Photos() const { return Dir.filePath("photos"); }
    QString Many() const { return Dir.filePath("many"); }
    QString PngFrame() const { return Dir.filePath("frame.png"); }
    QString FrameFile() const { return Dir.filePath("frame.okx"); }

    QTemporaryDir Dir;
};

std::unique_ptr<TScene> TheScene;

QStringList PhotoList(const QString& folder, const QString& stem, int count)
{
    QStringList list;
    for (int i = 0; i < count; ++i)
        list << folder + QStringLiteral("/%1%2.jpg").arg(stem).arg(i);
    return list;
}

// What one batch run showed besides its time.
struct TRunStats
{
    // The longest time the driving thread went without an event-loop turn.
    double LongestGapMs = 0;
    // Threads the process started during the run, and the most alive at once.
    int64_t ThreadsStarted = 0;
    int MostThreads = 0;

    void Add(const TRunStats& Run)
    {
        LongestGapMs = std::max(LongestGapMs, Run.LongestGapMs);
        ThreadsStarted = std::max(ThreadsStarted, Run.ThreadsStarted);
        MostThreads = std::max(MostThreads, Run.MostThreads);
    }
};

// Runs the batch as the wizard drives it.
TRunStats RunOurs(const QStringList& photos, bool png)
{
    TRunStats stats;
    const int64_t startedBefore = ThreadsStarted();
    QElapsedTimer clock;
    clock.start();
    qint64 lastTurn = 0;
    qint64 longestGap = 0;
    qint64 lastCount = -1000000;
    const auto turn = [&] {
        const qint64 now = clock.nsecsElapsed();
        longestGap = std::max(longestGap, now - lastTurn);
        lastTurn = now;
        if (now - lastCount >= 1000000) {
            stats.MostThreads = std::max(stats.MostThreads, LiveThreads());
            lastCount = now;
        }
    };
    QTimer turns;
    turns.setInterval(0);
    QObject::connect(&turns, &QTimer::timeout, turn);
    turns.start();
    {
        std::vector<TBatchJob> jobs;
        for (const QString& photo : photos)
            jobs.push_back(
                {photo, TBatchFramer::OutputName(photo, false, QStringLiteral("Pre")), QString()});
        TBatchRun run(std::move(jobs), png ? TheScene->PngFrame() : TheScene->FrameFile(), png,
                      QSize(PhotoWidth, PhotoHeight));
        const auto pump = [] { QCoreApplication::processEvents(); };
        run.CheckFrame(pump);
        for (int i = 0; i < run.Count(); ++i) {
            run.Finish(i, pump);
            QCoreApplication::processEvents();
        }
    }
    turn();
    stats.LongestGapMs = double(longestGap) / 1e6;
    stats.ThreadsStarted = ThreadsStarted() - startedBefore;
    return stats;
}

void BM_BatchRunPngFrame(benchmark::State& state)
{
    const QStringList photos = PhotoList(TheScene->Photos(), "p", PhotoCount);
    for (auto _ : state)
        RunOurs(photos, true);
}
BENCHMARK(BM_BatchRunPngFrame)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void BM_BatchRunFrameFile(benchmark::State& state)
{
    const QStringList photos = PhotoList(TheScene->Photos(), "p", PhotoCount);
    for (auto _ : state)
        RunOurs(photos, false);
}
BENCHMARK(BM_BatchRunFrameFile)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// One photo with the PNG frame through the canvas: opened, composed at the
// photo's resolution and saved.
void OnePhotoThroughTheCanvas()
{
    TQynKadrix canvas;
    canvas.resize(1600, 1000);
    canvas.DefaultBoxWidth = 640;
    canvas.DefaultBoxHeight = 480;
    canvas.LoadFrame(TheScene->PngFrame());
    canvas.OpenPhoto(TheScene->Photos() + "/p0.jpg");
    canvas.SaveJPEG(TheScene->Dir.filePath("canvas.jpg"), -1);
}

void BM_OnePhotoThroughTheCanvas(benchmark::State& state)
{
    for (auto _ : state)
        OnePhotoThroughTheCanvas();
}
BENCHMARK(BM_OnePhotoThroughTheCanvas)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

double Time(const std::function<void()>& run)
{
    return BestOf(2, [&] {
        run();
        return true;
    });
}

// A shell command for every photo, 8 at a time; {} is the photo, {o} its output.
double Peer(const QString& perPhoto)
{
    if (QStandardPaths::findExecutable("xargs").isEmpty())
        return -1;
    const QString script = QStringLiteral("cd '%1' && ls p*.jpg | xargs -P 8 -I{} sh -c '%2'")
                               .arg(TheScene->Photos(), perPhoto);
    return BestOf(2, [&] {
        QProcess process;
        process.start("sh", {"-c", script});
        return process.waitForFinished(600000) && process.exitCode() == 0;
    });
}

double OneProcess(const QString& command)
{
    return BestOf(2, [&] {
        QProcess process;
        process.start("sh", {"-c", command});
        return process.waitForFinished(600000) && process.exitCode() == 0;
    });
}

// The peak resident memory since the last reset, in megabytes.
double PeakMegabytes()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stod(line.substr(6)) / 1024.0;
    return -1;
}

void ResetPeak()
{
    std::ofstream("/proc/self/clear_refs") << "5";
}

void Ratio(const char* job, double ours, const char* peer, double theirs)
{
    if (theirs < 0)
        std::printf("  %-34s %-24s not available\n", job, peer);
    else
        std::printf("  %-34s %-24s %8.0f ms   ours / peer %.2f\n", job, peer, theirs,
                    ours / theirs);
}

void ComparePeers()
{
    TScene& scene = *TheScene;
    const QStringList photos = PhotoList(scene.Photos(), "p", PhotoCount);
    TRunStats png;
    TRunStats file;
    const double pngMs = Time([&] { png.Add(RunOurs(photos, true)); });
    const double fileMs = Time([&] { file.Add(RunOurs(photos, false)); });
    const double canvasMs = Time(OnePhotoThroughTheCanvas);

    const bool vips = !QStandardPaths::findExecutable("vips").isEmpty();
    const bool magick = !QStandardPaths::findExecutable("convert").isEmpty();
    const QString frame = scene.PngFrame();
    const QString color = QStringLiteral("#A07030");
    const double vipsPng =
        vips ? Peer(QStringLiteral("vips composite2 {} %1 v{}[Q=100] over").arg(frame)) : -1;
    const double magickPng =
        magick ? Peer(QStringLiteral("convert {} %1 -composite -quality 100 m{}").arg(frame)) : -1;
    const double vipsFile =
        vips ? Peer(QStringLiteral("vips resize {} t{}.v 0.8 && vips embed t{}.v v{}[Q=100] %1 %1 "
                                   "3800 3000 --extend background --background \"160 112 48\" && "
                                   "rm t{}.v")
                        .arg(Band))
             : -1;
    const double magickFile =
        magick ? Peer(QStringLiteral("convert {} -resize 3200x2400 -bordercolor \"%1\" -border %2 "
                                     "-quality 100 m{}")
                          .arg(color)
                          .arg(Band))
               : -1;
    const double vipsOne =
        vips ? OneProcess(QStringLiteral("vips composite2 '%1/p0.jpg' '%2' '%3[Q=100]' over")
                              .arg(scene.Photos(), frame, scene.Dir.filePath("one.jpg")))
             : -1;

    std::printf("\n%d photos of %d x %d, JPEG quality 100, %d photos in work at once, a pool of "
                "%d workers\n",
                PhotoCount, PhotoWidth, PhotoHeight,
                TBatchRun(std::vector<TBatchJob>(64), QString(), true, QSize(1, 1)).ThreadCount(),
                TWorkPool::Instance().WorkerCount());
    std::printf("  ours, PNG frame:                   %8.0f ms\n", pngMs);
    Ratio("", pngMs, "vips, 8 processes", vipsPng);
    Ratio("", pngMs, "ImageMagick, 8 processes", magickPng);
    std::printf("  ours, frame file of 300 px bands:  %8.0f ms\n", fileMs);
    Ratio("", fileMs, "vips, 8 processes", vipsFile);
    Ratio("", fileMs, "ImageMagick, 8 processes", magickFile);
    std::printf("  longest time without an event-loop turn on the driving thread: "
                "PNG frame %.0f ms, frame file %.0f ms (goal <= 50 ms)\n",
                png.LongestGapMs, file.LongestGapMs);
    std::printf("  threads started per run: PNG frame %lld, frame file %lld; most alive at once: "
                "%d and %d (the process, Qt's own threads included)\n",
                static_cast<long long>(png.ThreadsStarted),
                static_cast<long long>(file.ThreadsStarted), png.MostThreads, file.MostThreads);
    std::printf("  ours, one photo through the canvas:%8.0f ms\n", canvasMs);
    Ratio("", canvasMs, "vips, one process", vipsOne);

    for (const int count : {10, 300}) {
        ResetPeak();
        const double before = PeakMegabytes();
        RunOurs(PhotoList(scene.Many(), "m", count), true);
        std::printf("  peak memory, %3d photos, PNG frame: %6.0f MB (%.0f MB before the run)\n",
                    count, PeakMegabytes(), before);
        for (const QString& out : QDir(scene.Many()).entryList({"Prem*"}))
            QFile::remove(scene.Many() + "/" + out);
    }
}

} // namespace

int main(int argc, char** argv)
{
    return RunBenchmarks(
        argc, argv,
        [] {
            TheScene = std::make_unique<TScene>();
            return true;
        },
        [] {
            ComparePeers();
            TheScene.reset();
        });
}
