// A frame category of 200 files of every kind (simple, textured, ornate and
// picture frames taken round-robin from the program folder) shown in the
// side panel's frame browser: the time until every thumbnail is built on
// the worker, and the longest stretch the user-interface thread is kept from
// its events meanwhile (the category change itself included); and a change
// of category while a build is still running.
//
// Goals: all 200 thumbnails in under 1 s; the user-interface thread never
// blocked for more than 16 ms.

#include "PicThumb.h"
#include "SidePanel.h"

#include "BenchSupport.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QWidget>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <memory>

namespace {

constexpr int FrameCount = 200;

// The program folder's frame files, by category, copied round-robin into one
// category folder of FrameCount files.
class TFrameCategory
{
public:
    TFrameCategory()
    {
        const QDir frames(QStringLiteral(ORVO_PROGRAM_DIR "/Frame"));
        QStringList sources;
        for (const QString& category : frames.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
            const QDir folder(frames.filePath(category));
            for (const QString& name : folder.entryList({QStringLiteral("*.okx")}, QDir::Files))
                sources << folder.filePath(name);
        }
        Folder = m_dir.path() + QStringLiteral("/Frame/Bench/");
        QDir().mkpath(Folder);
        if (sources.isEmpty())
            return;
        for (int i = 0; i < FrameCount; ++i)
            QFile::copy(sources.at(i % sources.size()),
                        Folder + QStringLiteral("f%1.okx").arg(i, 3, 10, QChar('0')));
        Count = FrameCount;
    }

    QString Folder;
    int Count = 0;

private:
    QTemporaryDir m_dir;
};

std::unique_ptr<TFrameCategory> Category;

void BM_FrameCategoryThumbnails(benchmark::State& state)
{
    if (!Category || Category->Count == 0) {
        state.SkipWithError("no frame files: build the orvo_content target first");
        return;
    }
    double longestBlockMs = 0;
    double totalMs = 0;
    int built = 0;
    for (auto _ : state) {
        QWidget page;
        auto thumb = std::make_unique<TPicThumb>(&page);
        TSidePanel::SetPanelOptions(*thumb);
        thumb->OnCreateThumb = &TSidePanel::thuFrameCreateThumb;
        thumb->resize(341, 600);
        page.show();

        // The category change as lsbFrameChange makes it, then the events
        // handled until the worker is done.
        QElapsedTimer total;
        total.start();
        QElapsedTimer block;
        block.start();
        thumb->StopThumbs();
        thumb->Clear();
        TSidePanel::AddFolderFiles(thumb.get(), Category->Folder, QStringLiteral("*.okx"));
        thumb->StartThumbs();
        thumb->viewport()->update();
        double longest = block.nsecsElapsed() / 1e6;
        while (thumb->State() != TPicThumb::StateIdle) {
            block.restart();
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            longest = std::max(longest, block.nsecsElapsed() / 1e6);
        }
        totalMs += total.nsecsElapsed() / 1e6;
        longestBlockMs = std::max(longestBlockMs, longest);
        built = 0;
        for (int i = 0; i < thumb->Count(); ++i)
            built += thumb->Item(i)->Thumb.Image.isNull() ? 0 : 1;
    }
    state.counters["all_built_ms"] = totalMs / static_cast<double>(state.iterations());
    state.counters["longest_ui_block_ms"] = longestBlockMs;
    state.counters["thumbnails"] = built;
}
BENCHMARK(BM_FrameCategoryThumbnails)->Unit(benchmark::kMillisecond)->Iterations(5);

// The user picks another category while the first one's thumbnails are
// still being drawn: the change waits for the running thumbnail to finish,
// so its cost is one frame rendering at most, plus the new listing.
void BM_CategoryChangeDuringBuild(benchmark::State& state)
{
    if (!Category || Category->Count == 0) {
        state.SkipWithError("no frame files: build the orvo_content target first");
        return;
    }
    double longestChangeMs = 0;
    for (auto _ : state) {
        QWidget page;
        auto thumb = std::make_unique<TPicThumb>(&page);
        TSidePanel::SetPanelOptions(*thumb);
        thumb->OnCreateThumb = &TSidePanel::thuFrameCreateThumb;
        thumb->resize(341, 600);
        page.show();
        TSidePanel::AddFolderFiles(thumb.get(), Category->Folder, QStringLiteral("*.okx"));
        thumb->StartThumbs();
        // Let the first build get under way.
        while (thumb->State() != TPicThumb::StateIdle && thumb->Count() > 0 &&
               !thumb->Item(thumb->Count() / 4)->HasThumb.load())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 1);

        QElapsedTimer change;
        change.start();
        thumb->StopThumbs();
        thumb->Clear();
        TSidePanel::AddFolderFiles(thumb.get(), Category->Folder, QStringLiteral("*.okx"));
        thumb->StartThumbs();
        longestChangeMs = std::max(longestChangeMs, change.nsecsElapsed() / 1e6);
        while (thumb->State() != TPicThumb::StateIdle)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    state.counters["longest_change_ms"] = longestChangeMs;
}
BENCHMARK(BM_CategoryChangeDuringBuild)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

int main(int argc, char** argv)
{
    return RunBenchmarks(
        argc, argv,
        [] {
            Category = std::make_unique<TFrameCategory>();
            return true;
        },
        [] { Category.reset(); });
}
