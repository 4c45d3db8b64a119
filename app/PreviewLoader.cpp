#include "PreviewLoader.h"

#include "MyGdiPlus.h"

#include <QFileInfo>
#include <QMetaObject>
#include <QThreadPool>

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

    std::mutex Mutex;
    TPreviewLoader* Owner = nullptr;
    // The tag of the request last made; a preview of another is dropped.
    uint64_t Wanted = 0;
    // The newest request not yet begun.
    std::optional<TJob> Waiting;
    // True while a task is handed to the runner or in work.
    bool Running = false;
};

TPreviewLoader::TRunner TPreviewLoader::DefaultRunner()
{
    return [](TTask Task) { QThreadPool::globalInstance()->start(std::move(Task)); };
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
        if (TPreviewLoader* owner = Shared->Owner; owner && job.Tag == Shared->Wanted) {
            // Held under the lock, so the loader cannot go meanwhile.
            QMetaObject::invokeMethod(
                owner,
                [owner, tag = job.Tag, preview = std::move(preview)] {
                    owner->Deliver(tag, preview);
                },
                Qt::QueuedConnection);
        }
    }
}

void TPreviewLoader::Deliver(uint64_t Tag, const TPreview& Preview)
{
    if (Tag == m_wanted)
        emit Ready(Preview);
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
