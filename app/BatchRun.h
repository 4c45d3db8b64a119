#pragma once

// A batch run spread over the cores: the photos are decoded, framed,
// encoded and written on the work pool (TWorkPool), each output by one of
// the pool's writers as soon as it is framed, while the thread that drives
// the run takes the results in list order and keeps its window alive in
// between. What is written is what framing the photos one after the other
// writes: a photo whose file is the output of an earlier photo waits until
// that output is written, and outputs to the same file are written in list
// order; at most a few photos per thread are in work or not yet finished, so
// memory does not grow with the number of photos, and the photos in work
// share a memory budget by what each holds at its peak, so it does not grow
// with the number of cores either.

#include "BatchFailures.h"
#include "BitmapMemory.h"
#include "DecodeBudget.h"
#include "MemoryGate.h"

#include <QByteArray>
#include <QSize>
#include <QString>

#include <condition_variable>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

class TFrameFileCache;
struct TDecodeCost;
class TPngFrameCache;

struct TBatchJob
{
    QString Photo;
    QString Output;
    // Why the photo is not framed at all, in a few words; empty to frame it.
    QString Refused;
};

class TBatchRun
{
public:
    // Threads 0: as many photos in work at once as the pool has workers.
    // Nothing starts before CheckFrame or the first Finish. A photo whose
    // output would replace another photo of the list, or the frame, is
    // refused.
    TBatchRun(std::vector<TBatchJob> Jobs, QString FrameFile, bool IsPngFrame, QSize Box,
              int Threads = 0);
    // Photos not yet begun are dropped; the ones in work end first.
    ~TBatchRun();
    TBatchRun(const TBatchRun&) = delete;
    TBatchRun& operator=(const TBatchRun&) = delete;

    int Count() const { return int(m_jobs.size()); }
    int ThreadCount() const { return m_threadCount; }
    // The most photos that were framed at the same time so far.
    int MostInWork() const;

    // Reads the frame, calling Pump at least every 10 ms meanwhile, while
    // the first photos are decoded and framed behind it; raises, naming the
    // frame file, when it cannot be read, and then no photo is written.
    void CheckFrame(const std::function<void()>& Pump = {});

    // Waits until photo Index is framed and its output written, calling
    // Pump at least every 10 ms meanwhile. The photos are finished in list
    // order, each once. A photo that is not framed or not written is added
    // to Failures() with the reason, its old file stays as it was, and the
    // run goes on; false for it.
    bool Finish(int Index, const std::function<void()>& Pump);
    const TBatchFailures& Failures() const { return m_failures; }

private:
    struct TResult
    {
        // Framed and written, or given up.
        bool Done = false;
        std::exception_ptr Error;
        bool WriteFailed = false;
        QString WriteDetail;
        // Framed, and waiting until the output of an earlier photo to the
        // same file is written.
        bool Waiting = false;
        QByteArray Jpeg;
    };

    // Counts a photo as framed from its making to its end.
    class TFraming
    {
    public:
        explicit TFraming(TBatchRun& Run);
        ~TFraming();
        TFraming(const TFraming&) = delete;
        TFraming& operator=(const TFraming&) = delete;

    private:
        TBatchRun& m_run;
    };

    // Hands the photos that may begin now to the pool.
    void Schedule();
    // With the lock held: whether photo Index may begin now, and whether
    // its output may be written now.
    bool MayBegin(int Index) const;
    bool MayWrite(int Index) const;
    // On a worker: frames photo Index and has its output written.
    void Frame(int Index);
    // The size of a photo's output, by the photo's size; the box where the
    // photo gives none.
    QSize OutputSize(QSize Photo);
    // The most that framing a photo of Photo's cost and FileBytes holds at
    // once.
    int64_t FramingCost(const TDecodeCost& Photo, qint64 FileBytes);
    // The JPEG of a photo; the frame's rows are followed while it is still
    // decoded where FollowFrameRows, else the whole frame is waited for.
    QByteArray FramePhoto(const TBatchJob& Job);
    QByteArray FramePhoto(const TBatchJob& Job, bool FollowFrameRows);
    // Hands the output of photo Index, counted in m_writing, to a writer.
    void Write(int Index, QByteArray Jpeg);
    // On a writer: photo Index is written, or not; hands on the output that
    // waited for it.
    void Written(int Index, bool Ok, const QString& Detail);
    // With the lock held: photo Index is done, framed and written or given
    // up. The output that waited for it, its JPEG in Jpeg and counted in
    // m_writing, is to be written next: its index, or -1 for none.
    int Done(int Index, QByteArray& Jpeg);

    const std::vector<TBatchJob> m_jobs;
    const QString m_frameFile;
    const bool m_isPngFrame;
    const QSize m_box;
    const int m_threadCount;
    // Photos begun but not yet written, at most.
    const int m_window;
    // For each photo, the last earlier photo whose output it reads, and the
    // last earlier photo and the next later one with the same output; -1
    // for none.
    std::vector<int> m_lastWriter;
    std::vector<int> m_sameOutputBefore;
    std::vector<int> m_sameOutputAfter;
    std::unique_ptr<TPngFrameCache> m_pngFrame;
    std::unique_ptr<TFrameFileCache> m_frameFileFrames;
    // The pixel memory of one photo serves the next.
    TBitmapReuse m_bitmapReuse;
    // The photos in work share BatchPhotosBudget.
    TMemoryGate m_memory{BatchPhotosBudget};

    mutable std::mutex m_lock;
    // A photo is done, or the pool has no photo of the run left.
    std::condition_variable m_changed;
    std::vector<TResult> m_results;
    int m_next = 0;       // the next photo to begin
    int m_inWork = 0;     // photos handed to the pool and not yet framed
    int m_scheduling = 0; // workers handing on photos after their own
    int m_writing = 0;    // outputs handed to the writers and not yet written
    int m_written = 0;    // photos finished by Finish
    int m_framing = 0;    // photos past the memory gate and not yet framed
    int m_mostFraming = 0;
    bool m_stop = false;
    TBatchFailures m_failures;
};
