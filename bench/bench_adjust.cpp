// One drag step of an adjustment dialog's track bar: the effect built from the
// positions, run on a copy of the photo's display image, and the canvas
// repainted in preview mode. Goal: under 30 ms a step, so that dragging stays
// smooth; with a 24-megapixel photo as well, since the pass covers only the
// display-size image.

#include "AdjustRGB.h"
#include "EffectImage.h"
#include "Lightless.h"
#include "MainForm.h"
#include "PicClass.h"
#include "QynKadrix.h"
#include "Saturation.h"

#include "BenchSupport.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QImage>
#include <QSlider>

#include <benchmark/benchmark.h>

#include <functional>
#include <memory>

namespace {
QString g_programFolder;
QString g_largeFolder;

// The main window with its default frame and photo on the screen; null when
// the photo did not load.
std::unique_ptr<TfrmMain> StartWindow(const QString& folder, benchmark::State& state)
{
    auto window =
        std::make_unique<TfrmMain>(TDesktopServices::System(), [folder] { return folder; });
    window->ShowMaximised();
    const QDeadlineTimer deadline(30000);
    while (!window->QynKadrix1->Photo->Loaded && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    if (!window->QynKadrix1->Photo->Loaded) {
        state.SkipWithError("the default photo was not loaded");
        return nullptr;
    }
    return window;
}

// Drags Bar between two positions, one step per iteration, each step painted.
template <class TDialog>
void DragSteps(benchmark::State& state, const QString& folder,
               std::function<QSlider*(TDialog&)> bar, int low, int high)
{
    const std::unique_ptr<TfrmMain> window = StartWindow(folder, state);
    if (!window)
        return;
    auto* dialog = new TDialog(window.get());
    dialog->show();
    QSlider* slider = bar(*dialog);
    int position = low;
    for (auto _ : state) {
        position = position == low ? high : low;
        slider->setValue(position);
        window->QynKadrix1->repaint();
    }
    // The size of the pass: the photo's display image.
    const QImage* display = window->QynKadrix1->Photo->Image->GetDisplayImage();
    state.counters["display_pixels"] = display ? double(display->width() * display->height()) : 0;
    dialog->close();
}

const QString& Folder(const benchmark::State& state)
{
    return state.range(0) ? g_largeFolder : g_programFolder;
}

void BM_BrightnessDragStep(benchmark::State& state)
{
    DragSteps<TfrmBrightness>(
        state, Folder(state), [](TfrmBrightness& d) { return d.spContrast; }, -40, 40);
}
BENCHMARK(BM_BrightnessDragStep)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_ColorAdjustDragStep(benchmark::State& state)
{
    DragSteps<TfrmAdjustRGB>(
        state, Folder(state), [](TfrmAdjustRGB& d) { return d.spRed; }, -60, 60);
}
BENCHMARK(BM_ColorAdjustDragStep)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_SaturationDragStep(benchmark::State& state)
{
    DragSteps<TfrmSaturation>(
        state, Folder(state), [](TfrmSaturation& d) { return d.spSaturation; }, 100, 400);
}
BENCHMARK(BM_SaturationDragStep)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
} // namespace

int main(int argc, char** argv)
{
    std::unique_ptr<TStartupFolders> folders;
    return RunBenchmarks(
        argc, argv,
        [&] {
            folders = std::make_unique<TStartupFolders>();
            g_programFolder = folders->ProgramFolder;
            g_largeFolder = folders->LargeFolder;
            return folders->Ready();
        },
        [&] { folders.reset(); });
}
