#pragma once

// The frame file of a batch run, loaded once and its frame rendered once per
// output size, shared by the threads that frame the photos; loaded anew as
// soon as the file changes (size, times, or another file in its place), so
// that every photo gets what loading the file and rendering its frame for
// that photo would give.

#include "BatchFramer.h"
#include "FileStamp.h"

#include <QSize>
#include <QString>

#include <condition_variable>
#include <cstdint>
#include <future>
#include <map>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

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
    TFrame Render(TLoaded& Loaded, QSize Output) const;
    std::unique_ptr<TFrameMakerBase> TakeMaker(TLoaded& Loaded) const;
    static void GiveBack(TLoaded& Loaded, std::unique_ptr<TFrameMakerBase> Maker);

    const QString m_fileName;
    std::mutex m_lock;
    std::shared_ptr<TLoaded> m_loaded;
};
