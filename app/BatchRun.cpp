#include "BatchRun.h"

#include "BatchFramer.h"
#include "DecodeBudget.h"
#include "FrameFileCache.h"
#include "FrameMaker.h"
#include "HandlerGuard.h"
#include "MyGdiPlus.h"
#include "PngFrameCache.h"
#include "UniFuncs.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <chrono>
#include <future>
#include <unordered_map>
#include <unordered_set>

namespace {

// One name for one file, however the path spells it: a link and its target,
// "a/../b" and "b" give the same. A file that does not exist yet is named by
// its folder's real path and its own name.
QString FileKey(const QString& Path)
{
    const QFileInfo info(Path);
    const QString canonical = info.canonicalFilePath();
    if (!canonical.isEmpty())
        return canonical;
    const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
    if (folder.isEmpty())
        return QDir::cleanPath(info.absoluteFilePath());
    return folder + QLatin1Char('/') + info.fileName();
}

// Runs Work on a thread of its own, calling Pump at least every 10 ms until
// it ends; gives what Work returns and raises what it raises.
template <class F> auto Meanwhile(F Work, const std::function<void()>& Pump)
{
    auto done = std::async(std::launch::async, std::move(Work));
    while (done.wait_for(std::chrono::milliseconds(10)) != std::future_status::ready)
        if (Pump)
            Pump();
    return done.get();
}

int CoreCount()
{
    return std::max(1, int(std::thread::hardware_concurrency()));
}

// What framing a photo takes while it is framed: the decoded photo, by its
// header, and the output, the rendered frame and the reduced photo at the box
// size.
int64_t FramingCost(const QString& Photo, QSize Box)
{
    return DecodedBytes(ImageFileSize(Photo), QImage::Format_Invalid) +
           3 * DecodedBytes(Box, QImage::Format_Invalid);
}

// An output is the photo's own file or a new one, never another photo of the
// list nor the frame: a photo whose output would be one is refused. So is a
// photo that is no regular file: reading a named pipe would never end.
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
        if (job.Refused.isEmpty() && output != FileKey(job.Photo) && photos.count(output))
            job.Refused = QStringLiteral("the output would replace another photo of the list");
        if (job.Refused.isEmpty() && output != FileKey(job.Photo) && output == frameKey)
            job.Refused = QStringLiteral("the output would replace the frame");
    }
    return Jobs;
}

} // namespace

TBatchRun::TBatchRun(std::vector<TBatchJob> Jobs, QString FrameFile, bool IsPngFrame, QSize Box,
                     int Threads)
    : m_jobs(RefuseListedOutputs(std::move(Jobs), FrameFile)), m_frameFile(std::move(FrameFile)),
      m_isPngFrame(IsPngFrame), m_box(Box),
      m_threadCount(std::max(
          1, std::min(Threads > 0 ? Threads : CoreCount(), std::max(1, int(m_jobs.size()))))),
      m_window(2 * m_threadCount), m_lastWriter(m_jobs.size(), -1), m_results(m_jobs.size())
{
    // A photo reads its own file and the frame's; it must see every earlier
    // output written to either.
    std::unordered_map<QString, int> lastOutput;
    const QString frameKey = FileKey(m_frameFile);
    for (size_t i = 0; i < m_jobs.size(); ++i) {
        for (const QString& read : {FileKey(m_jobs[i].Photo), frameKey}) {
            const auto found = lastOutput.find(read);
            if (found != lastOutput.end())
                m_lastWriter[i] = std::max(m_lastWriter[i], found->second);
        }
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
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_stop = true;
    }
    m_workReady.notify_all();
    for (std::thread& worker : m_workers)
        worker.join();
}

void TBatchRun::Start()
{
    m_workers.reserve(size_t(m_threadCount));
    for (int i = 0; i < m_threadCount; ++i)
        m_workers.emplace_back([this] { Work(); });
}

bool TBatchRun::MayBegin(int Index) const
{
    return Index < m_written + m_window && m_lastWriter[size_t(Index)] < m_written;
}

void TBatchRun::Work()
{
    for (;;) {
        int index;
        {
            std::unique_lock<std::mutex> lock(m_lock);
            m_workReady.wait(lock,
                             [this] { return m_stop || m_next >= Count() || MayBegin(m_next); });
            if (m_stop || m_next >= Count())
                return;
            index = m_next++;
        }
        TResult result;
        try {
            const TBatchJob& job = m_jobs[size_t(index)];
            if (!job.Refused.isEmpty())
                throw EPhotoSkipped(job.Refused.toStdString());
            // Large photos are framed fewer at a time, whatever the number of
            // cores.
            const TMemoryGate::TTicket ticket =
                m_memory.Enter(FramingCost(m_jobs[size_t(index)].Photo, m_box));
            result.Jpeg = FramePhoto(m_jobs[size_t(index)]);
        } catch (...) {
            result.Error = std::current_exception();
        }
        result.Done = true;
        {
            std::lock_guard<std::mutex> lock(m_lock);
            m_results[size_t(index)] = std::move(result);
        }
        m_resultReady.notify_all();
    }
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
    Meanwhile(
        [this] {
            if (m_isPngFrame)
                TBatchFramer::CheckPngFrame(m_pngFrame->Frame(), m_frameFile);
            else
                m_frameFileFrames->Load();
        },
        Pump);
}

bool TBatchRun::Finish(int Index, const std::function<void()>& Pump)
{
    QString failure;
    try {
        Wait(Index, Pump);
    } catch (...) {
        failure = CurrentExceptionMessage();
    }
    // A photo that failed has nothing to write; its turn ends all the same.
    const bool written = Write(Index, Pump);
    if (failure.isEmpty() && !written)
        failure = QStringLiteral("the output cannot be written");
    if (failure.isEmpty())
        return true;
    m_failures.Add(m_jobs[size_t(Index)].Photo, failure);
    return false;
}

void TBatchRun::Wait(int Index, const std::function<void()>& Pump)
{
    if (m_workers.empty())
        Start();
    std::unique_lock<std::mutex> lock(m_lock);
    TResult& result = m_results[size_t(Index)];
    while (!result.Done) {
        m_resultReady.wait_for(lock, std::chrono::milliseconds(10));
        if (result.Done)
            break;
        lock.unlock();
        if (Pump)
            Pump();
        lock.lock();
    }
    if (result.Error)
        std::rethrow_exception(result.Error);
}

bool TBatchRun::Write(int Index, const std::function<void()>& Pump)
{
    QByteArray jpeg;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        std::swap(jpeg, m_results[size_t(Index)].Jpeg);
    }
    // Writing waits for the disk: the window goes on meanwhile.
    const bool written = Meanwhile(
        [this, Index, &jpeg] {
            return TBatchFramer::WriteJpegBytes(jpeg, m_jobs[size_t(Index)].Output);
        },
        Pump);
    jpeg = QByteArray();
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_written = Index + 1;
    }
    m_workReady.notify_all();
    return written;
}
