#include "FrameFileCache.h"

#include "FrameMakerBase.h"

struct TFrameFileCache::TLoaded
{
    std::unique_ptr<TFrameMakerBase> Maker;
    TBatchFramer::TBands Bands;
    // Held while Maker renders: it renders at the size it is given.
    std::mutex Rendering;
    // Frames by output size, the ones last asked for.
    TSingleFlight<std::pair<int, int>, TFrame> Frames{2};
};

TFrameFileCache::TFrameFileCache(QString FileName) : m_fileName(std::move(FileName)) {}

TFrameFileCache::~TFrameFileCache() = default;

std::shared_ptr<TFrameFileCache::TLoaded> TFrameFileCache::Current()
{
    return m_loaded.Get(TFileStamp::Of(m_fileName), [this] {
        auto loaded = std::make_shared<TLoaded>();
        loaded->Maker = TBatchFramer::LoadFrame(m_fileName);
        loaded->Bands = TBatchFramer::BandsOf(*loaded->Maker);
        return loaded;
    });
}

namespace {

QSize OutputOf(const TBatchFramer::TBands& Bands, QSize Photo, QSize Box)
{
    return TBatchFramer::MakerOutputSize(Photo.width(), Photo.height(), Box.width(), Box.height(),
                                         Bands.AddedWidth, Bands.AddedHeight);
}

} // namespace

QSize TFrameFileCache::OutputSize(QSize Photo, QSize Box)
{
    return OutputOf(Current()->Bands, Photo, Box);
}

TBatchFramer::TBands TFrameFileCache::Bands()
{
    return Current()->Bands;
}

TFrameFileCache::TFrame TFrameFileCache::FrameFor(QSize Photo, QSize Box)
{
    const std::shared_ptr<TLoaded> loaded = Current();
    TBatchFramer::CheckBands(loaded->Bands, Photo, Box.width(), Box.height());
    const QSize output = OutputOf(loaded->Bands, Photo, Box);
    if (output.isEmpty())
        return nullptr;
    return loaded->Frames.Get({output.width(), output.height()}, [&] {
        std::lock_guard<std::mutex> lock(loaded->Rendering);
        return std::make_shared<const TBatchFramer::TRenderedFrame>(
            TBatchFramer::RenderFrame(*loaded->Maker, output));
    });
}
