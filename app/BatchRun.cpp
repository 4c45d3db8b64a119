#include "BatchRun.h"

#include "BatchFramer.h"
#include "DecodeBudget.h"
#include "FrameFileCache.h"
#include "FrameMaker.h"
#include "HandlerGuard.h"
#include "MyGdiPlus.h"
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

// What framing a photo takes while it is framed: decoding the photo, by its
// header, and the output, the rendered frame and the reduced photo at the
// output's size.
int64_t FramingCost(const QString& Photo, QSize Output)
{
    return DecodePeakBytes(Photo) + 3 * DecodedBytes(Output, QImage::Format_Invalid);
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
      m_window(2 * m_threadCount), m_lastWriter(m_jobs.size(), -1), m_results(m_jobs.size())
{
    // A photo reads its own file: it must see every earlier output written
    // to it (a photo listed twice).
    std::unordered_map<QString, int> lastOutput;
    for (size_t i = 0; i < m_jobs.size(); ++i) {
        const auto found = lastOutput.find(FileKey(m_jobs[i].Photo));
        if (found != lastOutput.end())
            m_lastWriter[i] = found->second;
        if (m_jobs[i].Refused.isEmpty())
            lastOutput[FileKey(m_jobs[i].Output)] = int(i);
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
    m_changed.wait(lock, [this] { return m_inWork == 0 && m_scheduling == 0; });
}

bool TBatchRun::MayBegin(int Index) const
{
    return Index < m_written + m_window && m_lastWriter[size_t(Index)] < m_written;
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
            m_results[size_t(index)] = TResult{true, QByteArray(), std::current_exception()};
            --m_inWork;
            m_changed.notify_all();
        }
    }
}

void TBatchRun::Frame(int Index)
{
    TResult result;
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
            // Large photos are framed fewer at a time, whatever the number of
            // cores.
            const TMemoryGate::TTicket ticket =
                m_memory.Enter(FramingCost(job.Photo, OutputSize(job.Photo)));
            result.Jpeg = FramePhoto(job);
        } catch (...) {
            result.Error = std::current_exception();
        }
    }
    result.Done = true;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_results[size_t(Index)] = std::move(result);
        --m_inWork;
        ++m_scheduling;
        m_changed.notify_all();
    }
    // The photos that may begin now that this one is done. The run stays
    // until this thread has left it: the last notification is made under
    // the lock, after which this thread touches nothing of the run.
    Schedule();
    std::lock_guard<std::mutex> lock(m_lock);
    --m_scheduling;
    m_changed.notify_all();
}

QSize TBatchRun::OutputSize(const QString& Photo)
{
    // A PNG-framed output lies within the box; a frame file's may exceed
    // it where the frame adds relatively more.
    if (m_isPngFrame)
        return m_box;
    const QSize photo = ImageFileSize(Photo);
    const QSize output = photo.isValid() ? m_frameFileFrames->OutputSize(photo, m_box) : QSize();
    return output.isEmpty() ? m_box : output;
}

QByteArray TBatchRun::FramePhoto(const TBatchJob& Job)
{
    // The photo is decoded, framed and let go before its output is written.
    QImage output;
    {
        const QImage photo = TBatchFramer::ReadPhoto(Job.Photo);
        const int32_t BW = m_box.width();
        const int32_t BH = m_box.height();
        if (m_isPngFrame) {
            const QSize size = TBatchFramer::PngOutputSize(photo.width(), photo.height(), BW, BH);
            TBatchFramer::CheckOutputSize(size);
            const QImage frame = m_pngFrame->FrameAt(size);
            TBatchFramer::CheckPngFrame(frame, m_frameFile);
            if (!size.isEmpty()) {
                output = m_outputs.Take(size.width(), size.height());
                TBatchFramer::DrawWithPng(output, photo, frame);
            }
        } else {
            const TFrameFileCache::TFrame frame = m_frameFileFrames->FrameFor(photo.size(), m_box);
            if (frame) {
                output = m_outputs.Take(frame->Output.width(), frame->Output.height());
                TBatchFramer::DrawFramed(output, photo, *frame);
            }
        }
    }
    QByteArray jpeg = TBatchFramer::EncodeJpeg(TBatchFramer::CheckedOutput(output));
    m_outputs.Give(std::move(output));
    return jpeg;
}

void TBatchRun::CheckFrame(const std::function<void()>& Pump)
{
    // A large frame takes a while to decode: the window goes on meanwhile.
    Await(TWorkPool::Instance().Run([this] {
        if (m_isPngFrame)
            TBatchFramer::CheckPngFrame(m_pngFrame->Frame(), m_frameFile);
        else
            m_frameFileFrames->Load();
    }),
          Pump);
}

bool TBatchRun::Finish(int Index, const std::function<void()>& Pump)
{
    QString failure;
    try {
        QString detail;
        if (!Write(Index, Framed(Index, Pump), Pump, &detail))
            failure = detail.isEmpty() ? QStringLiteral("the output cannot be written")
                                       : QStringLiteral("the output cannot be written. ") + detail;
    } catch (...) {
        failure = CurrentExceptionMessage();
    }
    // Whatever became of the photo, its turn ends: the photos after it may
    // begin.
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_written = Index + 1;
    }
    Schedule();
    if (failure.isEmpty())
        return true;
    m_failures.Add(m_jobs[size_t(Index)].Photo, failure);
    return false;
}

QByteArray TBatchRun::Framed(int Index, const std::function<void()>& Pump)
{
    Schedule();
    std::unique_lock<std::mutex> lock(m_lock);
    TResult& result = m_results[size_t(Index)];
    while (!m_changed.wait_for(lock, PumpInterval, [&result] { return result.Done; })) {
        lock.unlock();
        if (Pump)
            Pump();
        lock.lock();
    }
    if (result.Error)
        std::rethrow_exception(std::exchange(result.Error, nullptr));
    return std::exchange(result.Jpeg, QByteArray());
}

bool TBatchRun::Write(int Index, QByteArray Jpeg, const std::function<void()>& Pump,
                      QString* Detail)
{
    // Writing waits for the disk: the window goes on meanwhile.
    const auto [written, detail] =
        Await(TWorkPool::Instance().RunWrite(
                  [Jpeg = std::move(Jpeg), Output = m_jobs[size_t(Index)].Output] {
                      QString detail;
                      const bool written = TBatchFramer::WriteJpegBytes(Jpeg, Output, &detail);
                      return std::make_pair(written, detail);
                  }),
              Pump);
    if (Detail)
        *Detail = detail;
    return written;
}
