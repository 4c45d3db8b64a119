#pragma once

// What the benchmarks share: an offscreen application around the run, and
// for the main window's benchmarks settings with the tip of the day off and a
// folder whose default photo has 24 megapixels.

#include <QElapsedTimer>
#include <QImage>
#include <QString>
#include <QTemporaryDir>

#include <algorithm>
#include <functional>

// Runs every registered benchmark inside an offscreen application. Start
// runs first (a false result ends the program with 1), Finish after the
// benchmarks, both while the application exists.
int RunBenchmarks(int argc, char** argv, const std::function<bool()>& Start = {},
                  const std::function<void()>& Finish = {});

// Settings kept in a temporary place with the tip of the day off, the build's
// program folder, and a temporary folder holding its default frame beside a
// 6000 x 4000 copy of its default photo.
class TStartupFolders
{
public:
    TStartupFolders();
    // False when the program folder has no default photo to enlarge.
    bool Ready() const { return m_ready; }
    // Both end with "/".
    QString ProgramFolder;
    QString LargeFolder;

private:
    QTemporaryDir m_settings;
    QTemporaryDir m_large;
    bool m_ready = false;
};

// A photo with detail everywhere, so that encoders have real work; each
// Variant is another photo.
QImage MakeDetailedPhoto(int width, int height, int variant = 0);
// A frame picture of the given size: a gradient band of the given width
// around a transparent opening.
QImage MakeBandFramePicture(int width, int height, int band);

// The best of Runs runs of Run, in milliseconds; negative when a run
// returns false.
template <class F> double BestOf(int Runs, F Run)
{
    double best = -1;
    for (int i = 0; i < Runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        if (!Run())
            return -1;
        const double ms = double(timer.nsecsElapsed()) / 1e6;
        best = best < 0 ? ms : std::min(best, ms);
    }
    return best;
}
