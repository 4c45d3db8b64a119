#pragma once

// The threads of the program, and the pool that runs its picture work.
//
// Every thread the program runs, and why:
// - The user-interface thread: windows, events and every command. It hands
//   picture work that would hold the window to the pool and waits for it
//   while it keeps the window going; during a batch run it only drives the
//   run.
// - The pool's workers (TWorkPool), one per core the process may use,
//   started on first use and kept until the program ends. They run all
//   picture work that goes beside the window: the photos of a batch run, the
//   bands of a large picture (decoding into fresh memory, colour passes,
//   quarter turns, premultiplying before a reduction, composing the canvas,
//   JPEG bands), and the previews of the picture dialogs. Work started on a
//   worker that splits itself again (the bands of a batch photo) runs on the
//   same workers or on the calling one, never on new threads, so no more
//   picture threads run than there are cores.
// - The pool's writers, a few threads started with the workers (one for two
//   workers, at most MaxWriters): they write the outputs of a batch run as
//   soon as each is framed, several at once, so that waiting for the disk
//   holds neither the window nor a core.
// - The thumbnail worker of each thumbnail browser (controls/ThumbWorker.h),
//   one thread per thumbnail run, joined by its browser: it draws the frame
//   thumbnails of the side panel and the frame picker in the background.
// - Qt's own threads, which the program neither starts nor counts: its pool
//   for reducing and converting large pictures, and the platform's event
//   threads.
//
// When no thread can be started at all, the work runs on the thread that
// asks for it. The program's pool stops when the application object goes:
// work not yet begun is dropped, the work in hand ends first, and work asked
// for later runs on the thread that asks for it.

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <thread>
#include <type_traits>
#include <vector>

class TWorkPool
{
public:
    // The program's pool, started on first use.
    static TWorkPool& Instance();

    // A pool of Workers threads (at least one is tried); for tests. With no
    // workers everything runs on the calling thread.
    explicit TWorkPool(int Workers);
    // Drops the work not yet begun and waits for the rest.
    ~TWorkPool();
    // The same, at once; not on one of the pool's own threads.
    void Stop();
    TWorkPool(const TWorkPool&) = delete;
    TWorkPool& operator=(const TWorkPool&) = delete;

    // The workers that could be started.
    int WorkerCount() const { return int(m_workers.size()); }
    // The workers waiting for work that nothing queued will take, now.
    int IdleWorkers() const;

    // Runs Body(0) ... Body(Count - 1), on the calling thread and on as many
    // idle workers as help, at most one thread per worker in all; returns
    // when all have run. When one raises, the indices not yet begun are
    // skipped and the first error is raised here once the others are done.
    // Nested calls never wait for a busy worker: what no worker takes, the
    // calling thread runs itself.
    void ParallelFor(int Count, const std::function<void(int)>& Body);

    // Runs Task on a worker, after the work handed in before it; the future
    // gives what it returns or raises.
    template <class F> auto Run(F Task) -> std::future<std::invoke_result_t<F&>>
    {
        return Submit(m_tasks, std::move(Task));
    }
    // The most writer threads.
    static constexpr int MaxWriters = 4;

    // Runs Task on a writer, once the writes handed in before it have begun;
    // several writes run at once.
    template <class F> auto RunWrite(F Task) -> std::future<std::invoke_result_t<F&>>
    {
        return Submit(m_writes, std::move(Task));
    }

private:
    struct TQueue
    {
        std::deque<std::function<void()>> Items;
        std::condition_variable Ready;
    };
    struct TLoop;

    template <class F> auto Submit(TQueue& Queue, F Task) -> std::future<std::invoke_result_t<F&>>
    {
        using R = std::invoke_result_t<F&>;
        auto task = std::make_shared<std::packaged_task<R()>>(std::move(Task));
        std::future<R> result = task->get_future();
        if (!Push(
                Queue, [task] { (*task)(); }, false))
            (*task)();
        return result;
    }
    // Queues Item (at the front when Urgent); false when the queue has no
    // thread to serve it, and the caller runs Item itself.
    bool Push(TQueue& Queue, std::function<void()> Item, bool Urgent);
    void Serve(TQueue& Queue);
    bool Served(const TQueue& Queue) const;

    mutable std::mutex m_lock;
    bool m_stop = false;
    // Workers waiting for a task.
    int m_idle = 0;
    TQueue m_tasks;
    TQueue m_writes;
    std::vector<std::thread> m_workers;
    std::vector<std::thread> m_writers;
};
