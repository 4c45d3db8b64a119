// Batch framing on every core against the tools a photographer would script
// otherwise, measured as a user waits for it: each run is a whole process of
// its own, started anew, so that the frame's decode and everything a first
// run pays are in its time. 20 different photos of 4000 x 3000 with a
// camera's grain (JPEG quality 92, 4:2:0) framed into the box "Custom" 4000 x 3000 and written as JPEG of
// quality 100,
//   - with a 4000 x 3000 PNG frame of a grained wooden band (a file of about
//     16 MB), against
//       vips composite2 photo.jpg frame.png out.jpg[Q=100,subsample-mode=on] over
//       convert photo.jpg frame.png -composite -quality 100 out.jpg
//   - with a simple frame file of 300-pixel bands (the photo fitted into the
//     opening of the same box), against
//       vips thumbnail photo.jpg t.v 3200 --height 2400
//       vips composite2 frame.png t.v out.jpg[Q=100,subsample-mode=on] over --x 300 --y 300
//       convert photo.jpg -resize 3200x2400 -bordercolor ... -border 300 -quality 100 out.jpg
//     (frame.png being the frame file's frame at the output's 3800 x 3000),
//   each peer run as 8 processes (xargs -P 8), in 3 rounds that take turns,
//   of which the medians are printed. Besides the times and the ratios: the
//   CPU time of our runs and the share of the cores it kept busy (CPU time
//   over wall time times cores), the most photos in work at once, the
//   longest time the thread that drives a run goes without an event-loop
//   turn, the threads a run starts and the most alive at once, the peak
//   memory of whole runs of 10 and of 300 photos, and one photo with the
//   PNG frame through the canvas, opened, composed and saved, against one
//   vips process.
//
// Goals: the PNG-frame run at most 0.40 x vips with 8 processes, the
// frame-file run at most 0.25 x; the cores busy at least 75 % of a run; one
// photo through the canvas at most 0.8 x vips; the driving thread never more
// than 50 ms without an event-loop turn; peak memory at most 720 MB and flat
// from 10 to 300 photos.

#include "BatchFramer.h"
#include "BatchRun.h"
#include "MyGdiPlus.h"
#include "QynKadrix.h"
#include "SimapleFrameMaker.h"
#include "WorkPool.h"

#include "BenchSupport.h"
#include "ThreadCount.h"

#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <random>
#include <string>

namespace {

constexpr int PhotoWidth = 4000;
constexpr int PhotoHeight = 3000;
constexpr int PhotoCount = 20;
constexpr int Band = 300;
constexpr int Rounds = 3;
// The argument that makes this program one batch run of its own.
constexpr char ChildFlag[] = "--batch-run";

// Grain on every pixel that is not clear, as a camera's sensor and a scanned
// wooden moulding give it: up to amount either way in each colour, the same
// for the same seed.
void AddGrain(QImage& picture, int amount, uint32_t seed)
{
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> grain(-amount, amount);
    for (int y = 0; y < picture.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < picture.width(); ++x) {
            if (qAlpha(line[x]) == 0)
                continue;
            const auto add = [&](int value) { return std::clamp(value + grain(random), 0, 255); };
            line[x] = qRgba(add(qRed(line[x])), add(qGreen(line[x])), add(qBlue(line[x])),
                            qAlpha(line[x]));
        }
    }
}

struct TScene
{
    TScene()
    {
        QDir().mkpath(Photos());
        QDir().mkpath(Many());
        for (int i = 0; i < PhotoCount; ++i) {
            QImage photo = MakeDetailedPhoto(PhotoWidth, PhotoHeight, i);
            AddGrain(photo, 6, uint32_t(i));
            photo.save(Photos() + QStringLiteral("/p%1.jpg").arg(i), "JPEG", 92);
        }
        // The memory runs: links to the photos, each with its own output.
        for (int i = 0; i < 300; ++i)
            QFile::link(Photos() + QStringLiteral("/p%1.jpg").arg(i % PhotoCount),
                        Many() + QStringLiteral("/m%1.jpg").arg(i));
        QImage frame = MakeBandFramePicture(PhotoWidth, PhotoHeight, 400);
        AddGrain(frame, 32, 1000);
        frame.save(PngFrame(), "PNG");
        TSimapleFrameMaker maker;
        maker.SetFrameWidth(Band);
        maker.SetFrameHeight(Band);
        maker.SetInnerEdge(0);
        maker.SetOutEdge(0);
        maker.SetBackColor(0x3070A0);
        maker.SaveToFile(FrameFile());
        // The same frame as a picture at the output's size, for the peers:
        // the photo fitted to 3200 x 2400 between the bands.
        maker.SetWidth(PhotoWidth - 800 + 2 * Band);
        maker.SetHeight(PhotoHeight);
        QImage rendered;
        maker.Render(rendered);
        rendered.save(FrameFilePicture(), "PNG");
        // The pool starts with the first picture work; here before the runs,
        // so that a run's count shows what the run itself starts.
        TWorkPool::Instance();
    }
    QString Photos() const { return Dir.filePath("photos"); }
    QString Many() const { return Dir.filePath("many"); }
    QString PngFrame() const { return Dir.filePath("frame.png"); }
    QString FrameFile() const { return Dir.filePath("frame.okx"); }
    QString FrameFilePicture() const { return Dir.filePath("frame-file.png"); }

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
    // The most photos framed at the same time.
    int MostInWork = 0;
};

// Runs the batch as the wizard drives it.
TRunStats RunOurs(const QStringList& photos, const QString& frame, bool png)
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
        TBatchRun run(std::move(jobs), frame, png, QSize(PhotoWidth, PhotoHeight));
        const auto pump = [] { QCoreApplication::processEvents(); };
        run.CheckFrame(pump);
        for (int i = 0; i < run.Count(); ++i) {
            run.Finish(i, pump);
            QCoreApplication::processEvents();
        }
        stats.MostInWork = run.MostInWork();
    }
    turn();
    stats.LongestGapMs = double(longestGap) / 1e6;
    stats.ThreadsStarted = ThreadsStarted() - startedBefore;
    return stats;
}

QString FrameOf(bool png)
{
    return png ? TheScene->PngFrame() : TheScene->FrameFile();
}

void BM_BatchRunPngFrame(benchmark::State& state)
{
    const QStringList photos = PhotoList(TheScene->Photos(), "p", PhotoCount);
    for (auto _ : state)
        RunOurs(photos, FrameOf(true), true);
}
BENCHMARK(BM_BatchRunPngFrame)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void BM_BatchRunFrameFile(benchmark::State& state)
{
    const QStringList photos = PhotoList(TheScene->Photos(), "p", PhotoCount);
    for (auto _ : state)
        RunOurs(photos, FrameOf(false), false);
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

double Seconds(const timeval& t)
{
    return double(t.tv_sec) + double(t.tv_usec) / 1e6;
}

// The peak resident memory of this process, in megabytes.
double PeakMegabytes()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stod(line.substr(6)) / 1024.0;
    return -1;
}

// This program started as one batch run, "--batch-run png|file FRAME
// FOLDER STEM COUNT": prints what the run showed on one line.
int RunChild(int argc, char** argv)
{
    if (argc != 7)
        return 2;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", QByteArray("offscreen"));
    QApplication app(argc, argv);
    const bool png = std::strcmp(argv[2], "png") == 0;
    const QStringList photos = PhotoList(QString::fromLocal8Bit(argv[4]),
                                         QString::fromLocal8Bit(argv[5]), std::atoi(argv[6]));
    const TRunStats stats = RunOurs(photos, QString::fromLocal8Bit(argv[3]), png);
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    std::printf("run cpu %.3f gap %.1f inwork %d started %lld most %d peak %.0f\n",
                Seconds(usage.ru_utime) + Seconds(usage.ru_stime), stats.LongestGapMs,
                stats.MostInWork, static_cast<long long>(stats.ThreadsStarted), stats.MostThreads,
                PeakMegabytes());
    return 0;
}

// A whole batch run in a process of its own, as the user starts one.
struct TChildRun
{
    double WallMs = -1;
    double CpuMs = 0;
    TRunStats Stats;
    double PeakMb = 0;
};

TChildRun RunChildProcess(bool png, const QString& folder, const QString& stem, int count)
{
    // Every run begins with what the runs before it wrote on the disk.
    ::sync();
    TChildRun run;
    QProcess process;
    QElapsedTimer timer;
    timer.start();
    process.start(QCoreApplication::applicationFilePath(),
                  {ChildFlag, png ? "png" : "file", FrameOf(png), folder, stem,
                   QString::number(count)});
    if (!process.waitForFinished(600000) || process.exitCode() != 0)
        return run;
    run.WallMs = double(timer.nsecsElapsed()) / 1e6;
    const QByteArray line = process.readAllStandardOutput().trimmed().split('\n').last();
    double cpu = 0;
    long long started = 0;
    if (std::sscanf(line.constData(), "run cpu %lf gap %lf inwork %d started %lld most %d peak %lf",
                    &cpu, &run.Stats.LongestGapMs, &run.Stats.MostInWork, &started,
                    &run.Stats.MostThreads, &run.PeakMb) != 6)
        run.WallMs = -1;
    run.CpuMs = cpu * 1000;
    run.Stats.ThreadsStarted = started;
    return run;
}

// A shell command for every photo, 8 at a time; {} is the photo.
double Peer(const QString& perPhoto)
{
    if (QStandardPaths::findExecutable("xargs").isEmpty())
        return -1;
    const QString script = QStringLiteral("cd '%1' && ls p*.jpg | xargs -P 8 -I{} sh -c '%2'")
                               .arg(TheScene->Photos(), perPhoto);
    ::sync();
    return BestOf(1, [&] {
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

double Median(std::vector<double> values)
{
    if (values.empty() || *std::min_element(values.begin(), values.end()) < 0)
        return -1;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void Ratio(double ours, const char* peer, double theirs, const char* goal)
{
    if (theirs < 0)
        std::printf("    %-26s not available\n", peer);
    else
        std::printf("    %-26s %8.0f ms   ours / peer %.2f%s\n", peer, theirs, ours / theirs,
                    goal);
}

// The medians of one job's rounds.
struct TJob
{
    std::vector<TChildRun> Ours;
    std::vector<double> Vips;
    std::vector<double> Magick;

    const TChildRun& Middle()
    {
        std::sort(Ours.begin(), Ours.end(),
                  [](const TChildRun& a, const TChildRun& b) { return a.WallMs < b.WallMs; });
        return Ours[Ours.size() / 2];
    }
};

void Report(const char* name, TJob& job, const char* vipsGoal)
{
    const TChildRun& ours = job.Middle();
    const int cores = QThread::idealThreadCount();
    std::printf("  ours, %-30s %8.0f ms   CPU %.0f ms, cores busy %.0f %% (goal >= 75 %%), "
                "%d photos in work at most\n",
                name, ours.WallMs, ours.CpuMs,
                ours.WallMs > 0 ? 100 * ours.CpuMs / (ours.WallMs * cores) : 0.0,
                ours.Stats.MostInWork);
    Ratio(ours.WallMs, "vips, 8 processes", Median(job.Vips), vipsGoal);
    Ratio(ours.WallMs, "ImageMagick, 8 processes", Median(job.Magick), "");
    std::printf("    longest time without an event-loop turn %.0f ms (goal <= 50 ms); threads "
                "started %lld, most alive at once %d\n",
                ours.Stats.LongestGapMs, static_cast<long long>(ours.Stats.ThreadsStarted),
                ours.Stats.MostThreads);
}

void ComparePeers()
{
    TScene& scene = *TheScene;
    const bool vips = !QStandardPaths::findExecutable("vips").isEmpty();
    const bool magick = !QStandardPaths::findExecutable("convert").isEmpty();
    const QString vipsPng =
        QStringLiteral("vips composite2 {} %1 v{}[Q=100,subsample-mode=on] over")
            .arg(scene.PngFrame());
    const QString magickPng =
        QStringLiteral("convert {} %1 -composite -quality 100 m{}").arg(scene.PngFrame());
    const QString vipsFile =
        QStringLiteral("vips thumbnail {} t{}.v %1 --height %2 && vips composite2 %3 t{}.v "
                       "v{}[Q=100,subsample-mode=on] over --x %4 --y %4 && rm t{}.v")
            .arg(PhotoWidth - 800)
            .arg(PhotoHeight - 2 * Band)
            .arg(scene.FrameFilePicture())
            .arg(Band);
    const QString magickFile =
        QStringLiteral("convert {} -resize %1x%2 -bordercolor \"#A07030\" -border %3 "
                       "-quality 100 m{}")
            .arg(PhotoWidth - 800)
            .arg(PhotoHeight - 2 * Band)
            .arg(Band);

    TJob png;
    TJob file;
    for (int round = 0; round < Rounds; ++round) {
        png.Ours.push_back(RunChildProcess(true, scene.Photos(), "p", PhotoCount));
        png.Vips.push_back(vips ? Peer(vipsPng) : -1);
        file.Ours.push_back(RunChildProcess(false, scene.Photos(), "p", PhotoCount));
        file.Vips.push_back(vips ? Peer(vipsFile) : -1);
    }
    // ImageMagick takes far longer and sets no goal: one round.
    png.Magick.push_back(magick ? Peer(magickPng) : -1);
    file.Magick.push_back(magick ? Peer(magickFile) : -1);

    std::printf("\n%d different photos of %d x %d, JPEG quality 100, each run a process of its "
                "own, medians of %d rounds; a pool of %d workers on %d cores\n",
                PhotoCount, PhotoWidth, PhotoHeight, Rounds, TWorkPool::Instance().WorkerCount(),
                QThread::idealThreadCount());
    Report("PNG frame:", png, " (goal <= 0.40)");
    Report("frame file of 300 px bands:", file, " (goal <= 0.25)");

    const double canvasMs = BestOf(2, [] {
        OnePhotoThroughTheCanvas();
        return true;
    });
    const double vipsOne =
        vips ? OneProcess(QStringLiteral("vips composite2 '%1/p0.jpg' '%2' '%3[Q=100]' over")
                              .arg(scene.Photos(), scene.PngFrame(), scene.Dir.filePath("one.jpg")))
             : -1;
    std::printf("  ours, one photo through the canvas: %8.0f ms\n", canvasMs);
    Ratio(canvasMs, "vips, one process", vipsOne, " (goal <= 0.8)");

    for (const int count : {10, 300}) {
        const TChildRun run = RunChildProcess(true, scene.Many(), "m", count);
        std::printf("  peak memory of a whole run of %3d photos, PNG frame: %6.0f MB (goal <= "
                    "720 MB)\n",
                    count, run.PeakMb);
        for (const QString& out : QDir(scene.Many()).entryList({"Prem*"}))
            QFile::remove(scene.Many() + "/" + out);
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc > 1 && std::strcmp(argv[1], ChildFlag) == 0)
        return RunChild(argc, argv);
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
