#pragma once

// Previews made away from the window's thread, so that a click on a large
// photo never holds the window while it is decoded. Each request hands its
// work to the runner given at construction; the preview comes back to the
// loader's own thread through its event queue and is announced by Ready only
// while it is still the one last asked for: a newer request or Cancel drops
// it. One request is worked on at a time and only the newest waiting one is
// taken next, so clicking through a folder of large photos decodes the one in
// work and the one now wanted, not every one passed on the way. A loader
// destroyed while a preview is in work drops it; the work ends on its own
// thread and frees what it holds.

#include <QImage>
#include <QObject>
#include <QSize>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>

struct TPreview
{
    QString File;
    // The picture's size as its file gives it; invalid when it does not decode.
    QSize PixelSize;
    // Null when the file does not decode.
    QImage Picture;
};

class TPreviewLoader : public QObject
{
    Q_OBJECT

public:
    using TTask = std::function<void()>;
    // Runs a task on a thread other than the window's.
    using TRunner = std::function<void(TTask)>;
    // Makes a preview; runs on the runner's thread.
    using TMake = std::function<TPreview()>;
    // The size a picture of PixelSize is decoded at.
    using TFit = std::function<QSize(const QSize& PixelSize)>;

    // Hands each task to the program's work pool.
    static TRunner DefaultRunner();

    explicit TPreviewLoader(QObject* parent = nullptr, TRunner Runner = DefaultRunner());
    ~TPreviewLoader() override;

    // Asks for the preview that Make makes, in place of any asked before.
    void Request(TMake Make);
    // Drops the preview asked for last.
    void Cancel();

    // File decoded at the size Fit gives for its own size; an empty preview
    // when it is no picture file, or one too large to be opened.
    static TMake Picture(const QString& File, TFit Fit);

signals:
    void Ready(const TPreview& Preview);

private slots:
    // Takes the preview made last, on the loader's own thread.
    void TakeDone();

private:
    struct TShared;
    static void Work(const std::shared_ptr<TShared>& Shared);

    TRunner m_runner;
    std::shared_ptr<TShared> m_shared;
    uint64_t m_wanted = 0;
};
