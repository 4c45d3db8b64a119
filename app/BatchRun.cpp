#include "BatchRun.h"

#include "BatchFramer.h"
#include "DecodeBudget.h"
#include "FrameFileCache.h"
#include "FrameMaker.h"
#include "HandlerGuard.h"
#include "MyGdiPlus.h"
#include "PictureFile.h"
#include "PngFrameCache.h"
#include "UniFuncs.h"
#include "WorkPool.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <chrono>
#include <future>
#include <sys/stat.h>
#include <unordered_map>
#include <unordered_set>

namespace {

constexpr std::chrono::milliseconds PumpInterval(10);

// One name for one file, however the path spells it: a link and its target,
// "a/../b" and "b", and the names of a hard-linked file (which a save writes
// in place) give the same. A file that does not exist yet is named by its
// folder's real path and its own name.
QString FileKey(const QString& Path)
{
    struct stat st
    {
    };
    if (::stat(QFile::encodeName(Path).constData(), &st) == 0)
        return QStringLiteral("%1:%2").arg(st.st_dev).arg(st.st_ino);
    const QFileInfo info(Path);
    const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
    if (folder.isEmpty())
        return QDir::cleanPath(info.absoluteFilePath());
    return folder + QLatin1Char('/') + info.fileName();
}

// What Work gives or raises once it is done, calling Pump at least every
// 10 ms until then.
template <class T> T Await(std::future<T> Work, const std::function<void()>& Pump)
{
    try {
        while (Work.wait_for(PumpInterval) != std::future_status::ready)
            if (Pump)
                Pump();
    } catch (...) {
        // The work holds what the caller gave it: it must end first.
        Work.wait();
        throw;
    }
    return Work.get();
}

// An output is the photo's own file or a new one, never another photo of the
// list nor the frame: a photo whose output would be one is refused, so every
// photo is framed with the frame as it was when the run began. So is a photo
// that is no regular file: reading a named pipe would never end.
std::vector<TBatchJob> RefuseListedOutputs(std::vector<TBatchJob> Jobs, const QString& FrameFile)
{
    const QString frameKey = FileKey(FrameFile);
    std::unordered_set<QString> photos;
    for (const TBatchJob& job : Jobs)
        photos.insert(FileKey(job.Photo));
    for (TBatchJob& job : Jobs) {
        const QString kind = NotAFileKind(job.Photo);
        if (job.Refused.isEmpty() && !kind.isEmpty())
            job.Refused = QStringLiteral("the photo is %1, not a file").arg(kind);
        const QString output = FileKey(job.Output);
        if (job.Refused.isEmpty() && output == frameKey)
            job.Refused = QStringLiteral("the output would replace the frame");
        if (job.Refused.isEmpty() && output != FileKey(job.Photo) && photos.count(output))
            job.Refused = QStringLiteral("the output would replace another photo of the list");
    }
    return Jobs;
}

} // namespace

TBatchRun::TBatchRun(std::vector<TBatchJob> Jobs, QString FrameFile, bool IsPngFrame, QSize Box,
                     int Threads)
    : m_jobs(RefuseListedOutputs(std::move(Jobs), FrameFile)), m_frameFile(std::move(FrameFile)),
      m_isPngFrame(IsPngFrame), m_box(Box),
      m_threadCount(
          std::max(1, std::min(Threads > 0 ? Threads : TWorkPool::Instance().WorkerCount(),
                               int(m_jobs.size())))),
      m_window(2 * m_threadCount), m_lastWriter(m_jobs.size(), -1),
      m_sameOutputBefore(m_jobs.size(), -1), m_sameOutputAfter(m_jobs.size(), -1),
      m_results(m_jobs.size())
{
    // A photo reads its own file: it must see every earlier output written
    // to it (a photo listed twice). Outputs to one file are written in turn.
    std::unordered_map<QString, int> lastOutput;
    for (size_t i = 0; i < m_jobs.size(); ++i) {
        const auto found = lastOutput.find(FileKey(m_jobs[i].Photo));
        if (found != lastOutput.end())
            m_lastWriter[i] = found->second;
        if (!m_jobs[i].Refused.isEmpty())
            continue;
        int& last = lastOutput.try_emplace(FileKey(m_jobs[i].Output), -1).first->second;
        if (last >= 0) {
            m_sameOutputBefore[i] = last;
            m_sameOutputAfter[size_t(last)] = int(i);
        }
        last = int(i);
    }
    if (m_isPngFrame)
        m_pngFrame = std::make_unique<TPngFrameCache>(m_frameFile);
    else
        m_frameFileFrames = std::make_unique<TFrameFileCache>(m_frameFile);
}

TBatchRun::~TBatchRun()
{
    std::unique_lock<std::mutex> lock(m_lock);
    m_stop = true;
    m_changed.wait(lock,
                   [this] { return m_inWork == 0 && m_scheduling == 0 && m_writing == 0; });
}

bool TBatchRun::MayBegin(int Index) const
{
    return Index < m_written + m_window && m_lastWriter[size_t(Index)] < m_written;
}

bool TBatchRun::MayWrite(int Index) const
{
    const int before = m_sameOutputBefore[size_t(Index)];
    return before < 0 || m_results[size_t(before)].Done;
}

void TBatchRun::Schedule()
{
    for (;;) {
        int index;
        {
            std::lock_guard<std::mutex> lock(m_lock);
            if (m_stop || m_inWork >= m_threadCount || m_next >= Count() || !MayBegin(m_next))
                return;
            index = m_next++;
            ++m_inWork;
        }
        try {
            TWorkPool::Instance().Run([this, index] { Frame(index); });
        } catch (...) {
            // Not handed over: the photo fails here instead.
            std::lock_guard<std::mutex> lock(m_lock);
            m_results[size_t(index)].Error = std::current_exception();
            m_results[size_t(index)].Done = true;
            --m_inWork;
            m_changed.notify_all();
        }
    }
}

void TBatchRun::Frame(int Index)
{
    QByteArray jpeg;
    std::exception_ptr error;
    bool stop;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        stop = m_stop;
    }
    if (!stop) {
        try {
            const TBatchJob& job = m_jobs[size_t(Index)];
            if (!job.Refused.isEmpty())
                throw EPhotoSkipped(job.Refused.toStdString());
            jpeg = FramePhoto(job);
        } catch (...) {
            error = std::current_exception();
        }
    }
    bool write = false;
    int next = -1;
    QByteArray nextJpeg;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        TResult& result = m_results[size_t(Index)];
        if (error || m_stop) {
            result.Error = error;
            next = Done(Index, nextJpeg);
        } else if (MayWrite(Index)) {
            write = true;
            ++m_writing;
        } else {
            result.Waiting = true;
            result.Jpeg = std::move(jpeg);
        }
        --m_inWork;
        ++m_scheduling;
        m_changed.notify_all();
    }
    if (write)
        Write(Index, std::move(jpeg));
    if (next >= 0)
        Write(next, std::move(nextJpeg));
    // The photos that may begin now that this one is done. The run stays
    // until this thread has left it: the last notification is made under
    // the lock, after which this thread touches nothing of the run.
    Schedule();
    std::lock_guard<std::mutex> lock(m_lock);
    --m_scheduling;
    m_changed.notify_all();
}

void TBatchRun::Write(int Index, QByteArray Jpeg)
{
    try {
        // Writing waits for the disk: a writer does it, and this thread goes
        // on. What the writer raises is a failed write.
        (void)TWorkPool::Instance().RunWrite([this, Index, Jpeg = std::move(Jpeg)] {
            QString detail;
            bool written = false;
            try {
                written = TBatchFramer::WriteJpegBytes(Jpeg, m_jobs[size_t(Index)].Output, &detail);
            } catch (...) {
                detail = CurrentExceptionMessage();
            }
            Written(Index, written, detail);
        });
    } catch (...) {
        // Not handed over: not written.
        Written(Index, false, QString());
    }
}

int TBatchRun::Done(int Index, QByteArray& Jpeg)
{
    m_results[size_t(Index)].Done = true;
    const int after = m_sameOutputAfter[size_t(Index)];
    if (after < 0 || !m_results[size_t(after)].Waiting)
        return -1;
    TResult& waiting = m_results[size_t(after)];
    waiting.Waiting = false;
    if (m_stop) {
        waiting.Done = true;
        return -1;
    }
    Jpeg = std::exchange(waiting.Jpeg, QByteArray());
    ++m_writing;
    return after;
}

void TBatchRun::Written(int Index, bool Ok, const QString& Detail)
{
    int next = -1;
    QByteArray jpeg;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        TResult& result = m_results[size_t(Index)];
        result.WriteFailed = !Ok;
        result.WriteDetail = Detail;
        next = Done(Index, jpeg);
        m_changed.notify_all();
    }
    if (next >= 0)
        Write(next, std::move(jpeg));
    // As in Frame: nothing of the run is touched after this.
    std::lock_guard<std::mutex> lock(m_lock);
    --m_writing;
    m_changed.notify_all();
}

TBatchRun::TFraming::TFraming(TBatchRun& Run) : m_run(Run)
{
    std::lock_guard<std::mutex> lock(m_run.m_lock);
    m_run.m_mostFraming = std::max(m_run.m_mostFraming, ++m_run.m_framing);
}

TBatchRun::TFraming::~TFraming()
{
    std::lock_guard<std::mutex> lock(m_run.m_lock);
    --m_run.m_framing;
}

int TBatchRun::MostInWork() const
{
    std::lock_guard<std::mutex> lock(m_lock);
    return m_mostFraming;
}

QSize TBatchRun::OutputSize(QSize Photo)
{
    const QSize output =
        m_isPngFrame ? TBatchFramer::PngOutputSize(Photo.width(), Photo.height(), m_box.width(),
                                                   m_box.height())
                     : m_frameFileFrames->OutputSize(Photo, m_box);
    return output.isEmpty() ? m_box : output;
}

int64_t TBatchRun::FramingCost(const TDecodeCost& Photo, qint64 FileBytes)
{
    // A photo whose size nothing tells is taken for one of the output's.
    const QSize output = OutputSize(Photo.Known() ? Photo.Size : m_box);
    const QSize photo = Photo.Known() ? Photo.Size : output;
    QSize drawn = output;
    if (!m_isPngFrame) {
        const TBatchFramer::TBands bands = m_frameFileFrames->Bands();
        drawn -= QSize(bands.AddedWidth, bands.AddedHeight);
    }
    const int64_t bytes = DecodedBytes(photo, QImage::Format_Invalid);
    const int64_t outputBytes = DecodedBytes(output, QImage::Format_Invalid);
    const bool reduced = drawn.width() < photo.width() || drawn.height() < photo.height();
    const int64_t drawnBytes = reduced ? DecodedBytes(drawn, QImage::Format_Invalid) : bytes;
    // What is held at once at each step: the file and its decode; the photo
    // and its reduction (and its premultiplied copy when it has alpha); the
    // photo as drawn and the output, or the output alone where an opaque
    // photo becomes it; the output and its JPEG, at most half its bytes in
    // bands and joined. The frame is the run's.
    const int64_t decode = FileBytes + std::max(Photo.PeakBytes, bytes);
    const int64_t reduce = reduced ? bytes * (Photo.Opaque ? 1 : 2) + drawnBytes : 0;
    const bool becomes = m_isPngFrame && Photo.Opaque && (reduced || photo == output);
    const int64_t compose = becomes ? outputBytes : drawnBytes + outputBytes;
    const int64_t encode = outputBytes + outputBytes / 2;
    return std::max({decode, reduce, compose, encode});
}

QByteArray TBatchRun::FramePhoto(const TBatchJob& Job)
{
    try {
        return FramePhoto(Job, true);
    } catch (const TPngFrameCache::EDecodedAgain&) {
        // The frame's rows were followed into a decode that came to another
        // picture: the photo again, with the whole frame.
        return FramePhoto(Job, false);
    }
}

QByteArray TBatchRun::FramePhoto(const TBatchJob& Job, bool FollowFrameRows)
{
    // The photo file is opened once and read once. Large photos are framed
    // fewer at a time, whatever the number of cores: by what their header
    // says before the file is read, and by what the whole file says once it
    // is.
    TPictureFile file(Job.Photo);
    TBatchFramer::CheckOpened(file);
    TMemoryGate::TTicket ticket = m_memory.Enter(FramingCost(file.HeaderCost(), file.Size()));
    const TFraming framing(*this);
    // The photo is let go once it is framed, the output once it is encoded.
    QImage photo = TBatchFramer::ReadPhoto(
        file, [&](const TDecodeCost& cost) { ticket.Raise(FramingCost(cost, file.Size())); });
    if (!m_isPngFrame) {
        QImage output;
        if (const TFrameFileCache::TFrame frame = m_frameFileFrames->FrameFor(photo.size(), m_box))
            output = TBatchFramer::ComposeFramed(std::move(photo), *frame);
        return TBatchFramer::EncodeJpeg(TBatchFramer::CheckedOutput(std::move(output)));
    }
    const QSize size =
        TBatchFramer::PngOutputSize(photo.width(), photo.height(), m_box.width(), m_box.height());
    TBatchFramer::CheckOutputSize(size);
    TPngFrameCache::TRows frame;
    if (FollowFrameRows)
        frame = m_pngFrame->FrameRowsAt(size);
    else
        frame.Picture = m_pngFrame->FrameAt(size);
    TBatchFramer::CheckPngFrame(frame.Picture, m_frameFile);
    QImage output =
        TBatchFramer::CheckedOutput(TBatchFramer::PhotoAsPngOutput(std::move(photo), size));
    if (frame.Picture.size() != size) {
        TBatchFramer::DrawPngFrame(output, frame.Picture);
        return TBatchFramer::EncodeJpeg(output);
    }
    // A frame of the output's size is drawn band by band as the output is
    // encoded, behind the frame's own decode while that still goes on.
    uchar* const pixels = output.bits();
    return TBatchFramer::EncodeJpeg(output, [&](int top, int end) {
        frame.WaitFor(end);
        TBatchFramer::DrawPngFrameRows(pixels, output, frame.Picture, top, end);
    });
}

void TBatchRun::CheckFrame(const std::function<void()>& Pump)
{
    // A large frame takes a while to decode: the first photos are decoded
    // meanwhile, and framed behind its rows as they come where it has their
    // output's size, or wait for it; the window goes on. They begin once the
    // frame's bitmap is made, which the idle workers make present together.
    std::future<void> frame = TWorkPool::Instance().Run([this] {
        if (m_isPngFrame)
            TBatchFramer::CheckPngFrame(m_pngFrame->Frame([this] { Schedule(); }), m_frameFile);
        else
            m_frameFileFrames->Load();
    });
    if (!m_isPngFrame)
        Schedule();
    Await(std::move(frame), Pump);
}

bool TBatchRun::Finish(int Index, const std::function<void()>& Pump)
{
    Schedule();
    QString failure;
    {
        std::unique_lock<std::mutex> lock(m_lock);
        TResult& result = m_results[size_t(Index)];
        while (!m_changed.wait_for(lock, PumpInterval, [&result] { return result.Done; })) {
            lock.unlock();
            if (Pump)
                Pump();
            lock.lock();
        }
        if (result.Error) {
            try {
                std::rethrow_exception(std::exchange(result.Error, nullptr));
            } catch (...) {
                failure = CurrentExceptionMessage();
            }
        } else if (result.WriteFailed) {
            failure = result.WriteDetail.isEmpty()
                          ? QStringLiteral("the output cannot be written")
                          : QStringLiteral("the output cannot be written. ") + result.WriteDetail;
        }
        // Whatever became of the photo, its turn ends: the photos after it
        // may begin.
        m_written = Index + 1;
    }
    Schedule();
    if (failure.isEmpty())
        return true;
    m_failures.Add(m_jobs[size_t(Index)].Photo, failure);
    return false;
}
