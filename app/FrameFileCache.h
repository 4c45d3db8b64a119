#pragma once

// The frame file of a batch run, loaded once and its frame rendered once per
// output size, shared by the threads that frame the photos; loaded anew as
// soon as the file changes (size, times, or another file in its place), so
// that every photo gets what loading the file and rendering its frame for
// that photo would give. The file is loaded into one generator, whatever the
// number of threads: each load and each frame is made by one thread while
// the others that want it wait, and the generator renders one size at a
// time.

#include "BatchFramer.h"
#include "FileStamp.h"
#include "SingleFlight.h"

#include <QSize>
#include <QString>

#include <memory>
#include <mutex>
#include <utility>

class TFrameMakerBase;

class TFrameFileCache
{
public:
    using TFrame = std::shared_ptr<const TBatchFramer::TRenderedFrame>;

    explicit TFrameFileCache(QString FileName);
    ~TFrameFileCache();
    TFrameFileCache(const TFrameFileCache&) = delete;
    TFrameFileCache& operator=(const TFrameFileCache&) = delete;

    // Loads the file as it is now, for the photos to come; raises what
    // loading it raises.
    void Load() { Current(); }
    // The output size of a w x h photo fitted into Box with the frame as
    // the file holds it now; empty when the photo gives no output. Raises
    // what loading the file raises.
    QSize OutputSize(QSize Photo, QSize Box);
    // What the frame adds to the photo, as the file holds it now.
    TBatchFramer::TBands Bands();
    // The frame of a w x h photo fitted into Box, as the file holds it now;
    // null when the photo gives no output. Raises what loading the file or
    // rendering the frame raises, and EPhotoSkipped for bands that cannot
    // frame a photo in Box (TBatchFramer::CheckBands).
    TFrame FrameFor(QSize Photo, QSize Box);

private:
    // The file as it was loaded at one stamp.
    struct TLoaded;

    // The file as it is now, loaded anew when it changed.
    std::shared_ptr<TLoaded> Current();

    const QString m_fileName;
    TSingleFlight<TFileStamp, std::shared_ptr<TLoaded>> m_loaded{1};
};
