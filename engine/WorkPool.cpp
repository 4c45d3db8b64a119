#include "WorkPool.h"

#include <QCoreApplication>

#include <pthread.h>
#include <sched.h>

#include <algorithm>
#include <atomic>
#include <exception>
#include <system_error>

namespace {

// The cores this process may run on (a container or taskset may give it
// fewer than the machine has).
int UsableCores()
{
    cpu_set_t set;
    CPU_ZERO(&set);
    if (::sched_getaffinity(0, sizeof set, &set) == 0 && CPU_COUNT(&set) > 0)
        return CPU_COUNT(&set);
    return std::max(1u, std::thread::hardware_concurrency());
}

} // namespace

// One ParallelFor: the indices are handed out one at a time to whichever
// thread asks next, so a thread that was late to start finds nothing left
// and leaves at once.
struct TWorkPool::TLoop
{
    TLoop(int Count, const std::function<void(int)>& Body) : Count(Count), Body(Body) {}

    // Runs indices until none is left.
    void Work()
    {
        for (int i = Next.fetch_add(1); i < Count; i = Next.fetch_add(1)) {
            if (!Failed.load()) {
                try {
                    Body(i);
                } catch (...) {
                    std::lock_guard<std::mutex> lock(Lock);
                    if (!Error)
                        Error = std::current_exception();
                    Failed = true;
                }
            }
            std::lock_guard<std::mutex> lock(Lock);
            if (++Done == Count)
                AllDone.notify_all();
        }
    }

    // Waits until every index has run; raises the first error.
    void Wait()
    {
        std::unique_lock<std::mutex> lock(Lock);
        AllDone.wait(lock, [this] { return Done == Count; });
        if (Error)
            std::rethrow_exception(Error);
    }

    const int Count;
    // Only touched for an index below Count, so never after Wait returned.
    const std::function<void(int)>& Body;
    std::atomic<int> Next{0};
    std::atomic<bool> Failed{false};
    std::mutex Lock;
    std::condition_variable AllDone;
    int Done = 0;
    std::exception_ptr Error;
};

TWorkPool& TWorkPool::Instance()
{
    static TWorkPool pool(UsableCores());
    // Decoders and painters need the application: the workers end before it.
    static const bool stopsWithTheApplication = [] {
        qAddPostRoutine([] { Instance().Stop(); });
        return true;
    }();
    (void)stopsWithTheApplication;
    return pool;
}

TWorkPool::TWorkPool(int Workers)
{
    // Threads the system refuses are done without: the work then runs on
    // fewer of them, or on the threads that ask for it.
    try {
        m_workers.reserve(size_t(std::max(1, Workers)));
        for (int i = 0; i < std::max(1, Workers); ++i) {
            m_workers.emplace_back([this] { Serve(m_tasks); });
            ::pthread_setname_np(m_workers.back().native_handle(), "orvo-work");
        }
    } catch (const std::system_error&) {
    }
    // A few writers: a write mostly waits for the disk, and several at once
    // keep it busy while the copies into the system's cache go side by side.
    try {
        const int writers = std::clamp(int(m_workers.size()) / 2, 1, MaxWriters);
        m_writers.reserve(size_t(writers));
        for (int i = 0; i < writers; ++i) {
            m_writers.emplace_back([this] { Serve(m_writes); });
            ::pthread_setname_np(m_writers.back().native_handle(), "orvo-write");
        }
    } catch (const std::system_error&) {
    }
}

TWorkPool::~TWorkPool()
{
    Stop();
}

void TWorkPool::Stop()
{
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_stop = true;
    }
    m_tasks.Ready.notify_all();
    m_writes.Ready.notify_all();
    for (std::vector<std::thread>* threads : {&m_workers, &m_writers})
        for (std::thread& thread : *threads)
            if (thread.joinable())
                thread.join();
    // What was queued is dropped, outside the lock: a task's future then
    // reports a broken promise, a loop's caller does the bands itself.
    std::deque<std::function<void()>> dropped[2];
    {
        std::lock_guard<std::mutex> lock(m_lock);
        dropped[0].swap(m_tasks.Items);
        dropped[1].swap(m_writes.Items);
    }
}

int TWorkPool::IdleWorkers() const
{
    std::lock_guard<std::mutex> lock(m_lock);
    return m_idle - int(m_tasks.Items.size());
}

bool TWorkPool::Served(const TQueue& Queue) const
{
    return !(&Queue == &m_tasks ? m_workers : m_writers).empty();
}

bool TWorkPool::Push(TQueue& Queue, std::function<void()> Item, bool Urgent)
{
    {
        std::lock_guard<std::mutex> lock(m_lock);
        if (m_stop || !Served(Queue))
            return false;
        if (Urgent)
            Queue.Items.push_front(std::move(Item));
        else
            Queue.Items.push_back(std::move(Item));
    }
    Queue.Ready.notify_one();
    return true;
}

void TWorkPool::Serve(TQueue& Queue)
{
    for (;;) {
        std::function<void()> item;
        {
            std::unique_lock<std::mutex> lock(m_lock);
            const bool worker = &Queue == &m_tasks;
            m_idle += worker;
            Queue.Ready.wait(lock, [&] { return m_stop || !Queue.Items.empty(); });
            m_idle -= worker;
            if (m_stop)
                return;
            item = std::move(Queue.Items.front());
            Queue.Items.pop_front();
        }
        // Every item keeps its own errors: a task's go to its future, a
        // loop's to the thread that waits for the loop.
        item();
    }
}

void TWorkPool::ParallelFor(int Count, const std::function<void(int)>& Body)
{
    const int helpers = std::min(Count, WorkerCount()) - 1;
    if (helpers <= 0) {
        for (int i = 0; i < Count; ++i)
            Body(i);
        return;
    }
    const auto loop = std::make_shared<TLoop>(Count, Body);
    // Bands of work already begun go before new tasks, so it ends sooner.
    try {
        for (int k = 0; k < helpers; ++k)
            if (!Push(
                    m_tasks, [loop] { loop->Work(); }, true))
                break;
    } catch (...) {
        // No room to ask for help: this thread does the rest.
    }
    loop->Work();
    loop->Wait();
}
