#include "PreviewLoader.h"

#include "MyGdiPlus.h"
#include "WorkPool.h"

#include <QFileInfo>
#include <QMetaObject>

#include <exception>
#include <mutex>
#include <optional>

// What the loader shares with the task in work. The loader may be gone by
// the time the task ends: Owner is then null, and the last of the two to let
// go frees this.
struct TPreviewLoader::TShared
{
    struct TJob
    {
        uint64_t Tag = 0;
        TMake Make;
    };
    struct TDone
    {
        uint64_t Tag = 0;
        TPreview Preview;
    };

    std::mutex Mutex;
    TPreviewLoader* Owner = nullptr;
    // The tag of the request last made; a preview of another is dropped.
    uint64_t Wanted = 0;
    // The newest request not yet begun.
    std::optional<TJob> Waiting;
    // True while a task is handed to the runner or in work.
    bool Running = false;
    // The preview made last, until the loader takes it.
    std::optional<TDone> Done;
};

TPreviewLoader::TRunner TPreviewLoader::DefaultRunner()
{
    return [](TTask Task) { TWorkPool::Instance().Run(std::move(Task)); };
}

TPreviewLoader::TPreviewLoader(QObject* parent, TRunner Runner)
    : QObject(parent), m_runner(std::move(Runner)), m_shared(std::make_shared<TShared>())
{
    m_shared->Owner = this;
}

TPreviewLoader::~TPreviewLoader()
{
    // A preview posted before this is dropped with the object's events.
    const std::lock_guard lock(m_shared->Mutex);
    m_shared->Owner = nullptr;
    m_shared->Waiting.reset();
    m_shared->Done.reset();
}

void TPreviewLoader::Request(TMake Make)
{
    const uint64_t tag = ++m_wanted;
    {
        const std::lock_guard lock(m_shared->Mutex);
        m_shared->Wanted = tag;
        m_shared->Waiting = TShared::TJob{tag, std::move(Make)};
        if (m_shared->Running)
            return;
        m_shared->Running = true;
    }
    m_runner([shared = m_shared] { Work(shared); });
}

void TPreviewLoader::Cancel()
{
    const uint64_t tag = ++m_wanted;
    const std::lock_guard lock(m_shared->Mutex);
    m_shared->Wanted = tag;
    m_shared->Waiting.reset();
    m_shared->Done.reset();
}

void TPreviewLoader::Work(const std::shared_ptr<TShared>& Shared)
{
    for (;;) {
        TShared::TJob job;
        {
            const std::lock_guard lock(Shared->Mutex);
            if (!Shared->Owner || !Shared->Waiting) {
                Shared->Running = false;
                return;
            }
            job = std::move(*Shared->Waiting);
            Shared->Waiting.reset();
        }
        TPreview preview;
        try {
            preview = job.Make();
        } catch (...) {
            // Nothing may leave a task of the runner: no preview then.
        }
        const std::lock_guard lock(Shared->Mutex);
        if (!Shared->Owner || job.Tag != Shared->Wanted)
            continue;
        // The preview waits here and the loader is told on its own thread
        // to take it; one notice serves until it is taken. Posted under the
        // lock, so the loader cannot go meanwhile; a loader that goes drops
        // the notice with its events.
        const bool told = Shared->Done.has_value();
        Shared->Done = TShared::TDone{job.Tag, std::move(preview)};
        if (!told)
            QMetaObject::invokeMethod(Shared->Owner, "TakeDone", Qt::QueuedConnection);
    }
}

void TPreviewLoader::TakeDone()
{
    std::optional<TShared::TDone> done;
    {
        const std::lock_guard lock(m_shared->Mutex);
        done.swap(m_shared->Done);
    }
    if (done && done->Tag == m_wanted)
        emit Ready(done->Preview);
}

TPreviewLoader::TMake TPreviewLoader::Picture(const QString& File, TFit Fit)
{
    return [File, Fit = std::move(Fit)] {
        TPreview preview;
        preview.File = File;
        if (!QFileInfo(File).isFile())
            return preview;
        const QSize size = ImageFileSize(File);
        if (size.isEmpty())
            return preview;
        // Decoded at the size shown: a large photo's decoder skips the
        // detail it would throw away.
        try {
            QImage picture = DecodeImageFile(File, Fit(size));
            if (!picture.isNull()) {
                preview.PixelSize = size;
                preview.Picture = std::move(picture);
            }
        } catch (const std::exception&) {
        }
        return preview;
    };
}
