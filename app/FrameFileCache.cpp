#include "FrameFileCache.h"

#include "FrameMakerBase.h"

#include <algorithm>

struct TFrameFileCache::TLoaded
{
    TFileStamp Stamp;
    TBatchFramer::TBands Bands;

    std::mutex Lock;
    std::condition_variable MakerFree;
    // Generators loaded at Stamp that render nothing now; one more is loaded
    // when they are all rendering, unless the file changed meanwhile.
    std::vector<std::unique_ptr<TFrameMakerBase>> IdleMakers;

    // Frames by output size, the ones last asked for; a size whose frame
    // is being rendered is here too, for the threads that wait for it.
    struct TEntry
    {
        std::shared_future<TFrame> Frame;
        uint64_t LastUse = 0;
        uint64_t Made = 0; // when it was asked for first
    };
    std::map<std::pair<int, int>, TEntry> Frames;
    uint64_t Uses = 0;
    static constexpr size_t MaxFrames = 2;
};

TFrameFileCache::TFrameFileCache(QString FileName) : m_fileName(std::move(FileName)) {}

TFrameFileCache::~TFrameFileCache() = default;

std::shared_ptr<TFrameFileCache::TLoaded> TFrameFileCache::Current()
{
    std::lock_guard<std::mutex> lock(m_lock);
    const TFileStamp now = TFileStamp::Of(m_fileName);
    if (m_loaded && m_loaded->Stamp == now)
        return m_loaded;
    m_loaded.reset();
    auto loaded = std::make_shared<TLoaded>();
    loaded->Stamp = now;
    std::unique_ptr<TFrameMakerBase> maker = TBatchFramer::LoadFrame(m_fileName);
    loaded->Bands = TBatchFramer::BandsOf(*maker);
    loaded->IdleMakers.push_back(std::move(maker));
    m_loaded = loaded;
    return loaded;
}

std::unique_ptr<TFrameMakerBase> TFrameFileCache::TakeMaker(TLoaded& Loaded) const
{
    std::unique_lock<std::mutex> lock(Loaded.Lock);
    if (Loaded.IdleMakers.empty()) {
        // The others render meanwhile: another generator for this thread,
        // unless the file changed, which would load a different frame.
        lock.unlock();
        std::unique_ptr<TFrameMakerBase> maker;
        try {
            maker = TBatchFramer::LoadFrame(m_fileName);
        } catch (...) {
        }
        if (maker && TFileStamp::Of(m_fileName) == Loaded.Stamp)
            return maker;
        lock.lock();
        Loaded.MakerFree.wait(lock, [&Loaded] { return !Loaded.IdleMakers.empty(); });
    }
    std::unique_ptr<TFrameMakerBase> maker = std::move(Loaded.IdleMakers.back());
    Loaded.IdleMakers.pop_back();
    return maker;
}

void TFrameFileCache::GiveBack(TLoaded& Loaded, std::unique_ptr<TFrameMakerBase> Maker)
{
    {
        std::lock_guard<std::mutex> lock(Loaded.Lock);
        Loaded.IdleMakers.push_back(std::move(Maker));
    }
    Loaded.MakerFree.notify_one();
}

TFrameFileCache::TFrame TFrameFileCache::Render(TLoaded& Loaded, QSize Output) const
{
    std::unique_ptr<TFrameMakerBase> maker = TakeMaker(Loaded);
    TFrame frame;
    try {
        frame = std::make_shared<const TBatchFramer::TRenderedFrame>(
            TBatchFramer::RenderFrame(*maker, Output));
    } catch (...) {
        GiveBack(Loaded, std::move(maker));
        throw;
    }
    GiveBack(Loaded, std::move(maker));
    return frame;
}

TFrameFileCache::TFrame TFrameFileCache::FrameFor(QSize Photo, QSize Box)
{
    const std::shared_ptr<TLoaded> loaded = Current();
    TBatchFramer::CheckBands(loaded->Bands, Photo, Box.width(), Box.height());
    const QSize output =
        TBatchFramer::MakerOutputSize(Photo.width(), Photo.height(), Box.width(), Box.height(),
                                      loaded->Bands.AddedWidth, loaded->Bands.AddedHeight);
    if (output.isEmpty())
        return nullptr;

    const std::pair<int, int> key(output.width(), output.height());
    std::promise<TFrame> rendered;
    std::shared_future<TFrame> frame;
    uint64_t renders = 0; // the entry this thread renders, if any
    {
        std::lock_guard<std::mutex> lock(loaded->Lock);
        auto found = loaded->Frames.find(key);
        if (found == loaded->Frames.end()) {
            renders = loaded->Uses + 1;
            found = loaded->Frames
                        .emplace(key, TLoaded::TEntry{rendered.get_future().share(), 0, renders})
                        .first;
        }
        found->second.LastUse = ++loaded->Uses;
        frame = found->second.Frame;
        // The frames asked for longest ago go, never this one; threads still
        // drawing or waiting for them keep theirs.
        while (loaded->Frames.size() > TLoaded::MaxFrames)
            loaded->Frames.erase(std::min_element(
                loaded->Frames.begin(), loaded->Frames.end(),
                [](const auto& a, const auto& b) { return a.second.LastUse < b.second.LastUse; }));
    }
    if (renders) {
        try {
            rendered.set_value(Render(*loaded, output));
        } catch (...) {
            // Not kept: the next photo of this size tries again.
            {
                std::lock_guard<std::mutex> lock(loaded->Lock);
                const auto found = loaded->Frames.find(key);
                if (found != loaded->Frames.end() && found->second.Made == renders)
                    loaded->Frames.erase(found);
            }
            rendered.set_exception(std::current_exception());
        }
    }
    return frame.get();
}
