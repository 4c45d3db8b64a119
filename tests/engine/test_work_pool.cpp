// The work pool: an error in a band on a worker reaches the thread that
// asked for the bands, and bands asked for by tasks on the workers run on
// those workers, never on more threads than the pool has.

#include "WorkPool.h"

#include <gtest/gtest.h>

#include <atomic>
#include <latch>
#include <mutex>
#include <set>
#include <stdexcept>
#include <thread>

TEST(WorkPoolTest, AnErrorInABandOnAWorkerReachesTheCaller)
{
    TWorkPool pool(2);
    ASSERT_EQ(pool.WorkerCount(), 2);
    const std::thread::id caller = std::this_thread::get_id();
    // Both bands wait for each other, so one of them runs on a worker.
    std::latch bothStarted(2);
    std::atomic<int> ran = 0;
    EXPECT_THROW(pool.ParallelFor(2,
                                  [&](int) {
                                      bothStarted.arrive_and_wait();
                                      ++ran;
                                      if (std::this_thread::get_id() != caller)
                                          throw std::runtime_error("band failed");
                                  }),
                 std::runtime_error);
    EXPECT_EQ(ran, 2);
    // The pool goes on.
    std::atomic<int> sum = 0;
    pool.ParallelFor(100, [&](int i) { sum += i; });
    EXPECT_EQ(sum, 4950);
    EXPECT_THROW(pool.Run([] { throw std::logic_error("task failed"); }).get(), std::logic_error);
}

TEST(WorkPoolTest, BandsOfTasksRunOnTheWorkersAndNeverOnMoreThreads)
{
    TWorkPool pool(3);
    std::mutex lock;
    std::set<std::thread::id> threads;
    std::atomic<int> running = 0;
    std::atomic<int> most = 0;
    std::vector<std::future<void>> tasks;
    for (int t = 0; t < 12; ++t)
        tasks.push_back(pool.Run([&] {
            {
                std::lock_guard<std::mutex> guard(lock);
                threads.insert(std::this_thread::get_id());
            }
            pool.ParallelFor(16, [&](int) {
                const int now = ++running;
                for (int seen = most; now > seen && !most.compare_exchange_weak(seen, now);) {
                }
                {
                    std::lock_guard<std::mutex> guard(lock);
                    threads.insert(std::this_thread::get_id());
                }
                --running;
            });
        }));
    for (std::future<void>& task : tasks)
        task.get();
    EXPECT_LE(most, 3);
    EXPECT_LE(threads.size(), 3u);
    EXPECT_FALSE(threads.count(std::this_thread::get_id()));
}
