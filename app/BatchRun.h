#pragma once

// A batch run spread over the cores: the photos are decoded, framed and
// encoded on a pool of worker threads (at most one per core), while the
// thread that drives the run takes the results in list order, writes each
// output file and keeps its window alive in between. What is written is
// what framing the photos one after the other writes: a photo whose file is
// the output of an earlier photo, or a frame that an earlier output
// replaces, waits until that output is written; at most a few photos per
// thread are in work or waiting to be written, so memory does not grow
// with the number of photos, and large photos are framed fewer at a time, so
// it does not grow with the number of cores either.

#include "BatchFailures.h"
#include "BitmapPool.h"
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
#include <thread>
#include <vector>

class TFrameFileCache;
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
    // Threads 0: one per core. Nothing starts before the first Finish.
    // A photo whose output would replace another photo of the list is refused.
    TBatchRun(std::vector<TBatchJob> Jobs, QString FrameFile, bool IsPngFrame, QSize Box,
              int Threads = 0);
    // Stops the workers: photos not yet begun are dropped, the ones in work
    // end first.
    ~TBatchRun();
    TBatchRun(const TBatchRun&) = delete;
    TBatchRun& operator=(const TBatchRun&) = delete;

    int Count() const { return int(m_jobs.size()); }
    int ThreadCount() const { return m_threadCount; }

    // Reads the frame before the first photo is touched, calling Pump at
    // least every 10 ms meanwhile; raises, naming the frame file, when it
    // cannot be read.
    void CheckFrame(const std::function<void()>& Pump = {});

    // Wait, then Write, for the photos taken in list order. A photo that is
    // not framed or not written is added to Failures() with the reason, and
    // the run goes on; false for it.
    bool Finish(int Index, const std::function<void()>& Pump);
    const TBatchFailures& Failures() const { return m_failures; }

    // The photos are taken in list order, each once: Wait, then Write.
    // Waits until photo Index is framed, calling Pump at least every 10 ms
    // meanwhile; raises what framing the photo raised.
    void Wait(int Index, const std::function<void()>& Pump);
    // Writes the output of the photo that Wait returned for, calling Pump at
    // least every 10 ms until the file is written. False when the photo gave
    // no output or its file could not be written (the old file then stays as
    // it was, unless Detail says where its content is kept).
    bool Write(int Index, const std::function<void()>& Pump = {}, QString* Detail = nullptr);

private:
    struct TResult
    {
        bool Done = false;
        QByteArray Jpeg;
        std::exception_ptr Error;
    };

    void Start();
    void Work();
    // With the lock held: whether photo Index may begin now.
    bool MayBegin(int Index) const;
    QByteArray FramePhoto(const TBatchJob& Job);

    const std::vector<TBatchJob> m_jobs;
    const QString m_frameFile;
    const bool m_isPngFrame;
    const QSize m_box;
    const int m_threadCount;
    // Photos begun but not yet written, at most.
    const int m_window;
    // For each photo, the last earlier photo whose output it reads, or -1.
    std::vector<int> m_lastWriter;
    std::unique_ptr<TPngFrameCache> m_pngFrame;
    std::unique_ptr<TFrameFileCache> m_frameFileFrames;
    TBitmapPool m_outputs;
    // The photos in work share BatchPhotosBudget.
    TMemoryGate m_memory{BatchPhotosBudget};

    std::mutex m_lock;
    std::condition_variable m_workReady;
    std::condition_variable m_resultReady;
    std::vector<TResult> m_results;
    int m_next = 0;    // the next photo to begin
    int m_written = 0; // photos finished by Finish
    bool m_stop = false;
    std::vector<std::thread> m_workers;
    TBatchFailures m_failures;
};
