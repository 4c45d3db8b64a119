// Thumbnail runs: on the worker thread and on the caller's, the run state
// (stop between items, a failing callback ending idle, Clear waiting while
// events go on), one run at a time, AddFile and RefreshThumb during a run,
// and a browser destroyed while its worker runs.

#include "PicThumb.h"
#include "ThumbWorker.h"

#include "TestSupport.h"

#include <QCoreApplication>
#include <QTimer>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto Patience = std::chrono::seconds(20);

// Polls (processing events) until the condition holds; false on time-out.
template <class F> bool WaitUntil(F&& condition)
{
    const auto deadline = Clock::now() + Patience;
    while (!condition()) {
        if (Clock::now() > deadline)
            return false;
        QCoreApplication::processEvents();
        std::this_thread::yield();
    }
    return true;
}

// A door the worker's callback waits at until the test opens it.
class TGate
{
public:
    void Open()
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_open = true;
        m_changed.notify_all();
    }
    bool Wait()
    {
        std::unique_lock<std::mutex> lock(m_lock);
        return m_changed.wait_for(lock, Patience, [this] { return m_open; });
    }

private:
    std::mutex m_lock;
    std::condition_variable m_changed;
    bool m_open = false;
};

// What the callbacks saw, written on whichever thread runs them.
struct TRecord
{
    std::mutex lock;
    std::vector<int> built;    // item indexes, in call order
    std::vector<int> repaints; // cell repaint requests
    std::vector<std::pair<int, int>> progress;
    std::vector<std::thread::id> threads;
    std::atomic<bool> mismatch{false};

    std::vector<int> Built()
    {
        std::lock_guard<std::mutex> l(lock);
        return built;
    }
    std::vector<int> Repaints()
    {
        std::lock_guard<std::mutex> l(lock);
        return repaints;
    }
};

// Polls from the worker until the browser's state is the given one.
bool WorkerWaitsForState(TPicThumb* browser, uint8_t state)
{
    const auto deadline = Clock::now() + Patience;
    while (browser->State() != state) {
        if (Clock::now() > deadline)
            return false;
        std::this_thread::yield();
    }
    return true;
}

class ThumbWorkerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        browser = std::make_unique<TPicThumb>();
        browser->ThumbOptions().PicRectWidth = 90;
        browser->ThumbOptions().PicRectHeight = 80;
        browser->OnCellRepaintRequest = [this](int32_t index) {
            std::lock_guard<std::mutex> l(record.lock);
            record.repaints.push_back(index);
        };
        browser->OnProcessPic = [this](TPicThumb*, int32_t max, int32_t now) {
            std::lock_guard<std::mutex> l(record.lock);
            record.progress.emplace_back(max, now);
        };
    }

    void AddItems(int count)
    {
        const int first = browser->Count();
        for (int i = first; i < first + count; ++i)
            browser->AddFile(dir.write(QStringLiteral("f%1.okx").arg(i), "x"));
    }

    // A callback that draws a 10 x 10 red thumbnail and records the call;
    // Before runs first, with the item index.
    void UseCallback(std::function<void(TPicThumb*, int)> before = {})
    {
        // The fixture's pointer is read here, never on the worker: it is
        // emptied before the browser's destructor runs.
        TPicThumb* const expected = browser.get();
        browser->OnCreateThumb = [this, before, expected](TPicThumb* sender, const QString& name,
                                                          TThumbBitmap& bmp, int32_t w, int32_t h,
                                                          PImageInfor info) {
            const int index = static_cast<int>(sender->FileList().indexOf(name));
            if (sender != expected || info != sender->Item(index) || w != 90 || h != 80)
                record.mismatch = true;
            {
                std::lock_guard<std::mutex> l(record.lock);
                record.built.push_back(index);
                record.threads.push_back(std::this_thread::get_id());
            }
            if (before)
                before(sender, index);
            std::lock_guard<std::mutex> lock(bmp.Lock());
            if (!bmp.Image.isNull())
                record.mismatch = true; // the bitmap must come new and empty
            bmp.Image = MakeSolid(10, 10, Qt::red);
        };
    }

    bool WaitIdle()
    {
        return WaitUntil([this] { return browser->State() == TPicThumb::StateIdle; });
    }

    TTempDir dir;
    TRecord record;
    std::unique_ptr<TPicThumb> browser;
};

} // namespace

TEST_F(ThumbWorkerTest, WorkerBuildsEveryThumbnailOffTheUserInterfaceThread)
{
    AddItems(5);
    TGate gate;
    UseCallback([&](TPicThumb*, int index) {
        if (index == 0)
            gate.Wait();
    });
    browser->StartThumbs();
    EXPECT_EQ(browser->State(), TPicThumb::StateBuilding); // returns at once
    gate.Open();
    ASSERT_TRUE(WaitIdle());

    EXPECT_EQ(record.Built(), std::vector<int>({0, 1, 2, 3, 4}));
    EXPECT_EQ(record.Repaints(), std::vector<int>({0, 1, 2, 3, 4}));
    EXPECT_EQ(record.progress,
              (std::vector<std::pair<int, int>>{{5, 1}, {5, 2}, {5, 3}, {5, 4}, {5, 5}}));
    EXPECT_FALSE(record.mismatch.load());
    for (const std::thread::id id : record.threads) {
        EXPECT_NE(id, std::this_thread::get_id());
        EXPECT_EQ(id, record.threads.front());
    }
    for (int i = 0; i < 5; ++i) {
        EXPECT_TRUE(browser->Item(i)->HasThumb.load());
        EXPECT_EQ(browser->Item(i)->Thumb.Image.size(), QSize(10, 10));
    }
}

TEST_F(ThumbWorkerTest, BuildThumbsRunsOnTheCallersThreadAndRepaintsEachCell)
{
    AddItems(3);
    UseCallback();
    browser->BuildThumbs();
    EXPECT_EQ(browser->State(), TPicThumb::StateIdle);
    EXPECT_EQ(record.Built(), std::vector<int>({0, 1, 2}));
    EXPECT_EQ(record.Repaints(), std::vector<int>({0, 1, 2}));
    for (const std::thread::id id : record.threads)
        EXPECT_EQ(id, std::this_thread::get_id());
    // Shown at the next paint: the 10 x 10 picture centred in the first
    // cell's 90 x 80 picture rectangle at (15, 13) (default options).
    browser->PaintBuffer();
    EXPECT_EQ(PixelAt(browser->BackBuffer(), 15 + 40, 13 + 35) & 0xFFFFFF, 0xFF0000u);
}

TEST_F(ThumbWorkerTest, RunOverBuiltItemsOrWithoutCallbackChangesNothing)
{
    AddItems(3);
    browser->BuildThumbs(); // no callback: no thumbnails
    EXPECT_FALSE(browser->Item(0)->HasThumb.load());
    EXPECT_TRUE(record.Repaints().empty());
    EXPECT_TRUE(record.progress.empty());

    UseCallback();
    browser->BuildThumbs();
    ASSERT_EQ(record.Built().size(), 3u);
    browser->StartThumbs();
    ASSERT_TRUE(WaitIdle());
    browser->Clear();
    EXPECT_EQ(record.Built().size(), 3u);
    EXPECT_EQ(record.Repaints().size(), 3u);
}

TEST_F(ThumbWorkerTest, StopEndsTheRunAfterTheCurrentItem)
{
    AddItems(10);
    std::atomic<bool> inFifth{false};
    std::atomic<bool> sawStop{false};
    UseCallback([&](TPicThumb* sender, int index) {
        if (index == 5) {
            inFifth = true;
            sawStop = WorkerWaitsForState(sender, TPicThumb::StateStopRequested);
        }
    });
    browser->StartThumbs();
    ASSERT_TRUE(WaitUntil([&] { return inFifth.load(); }));
    browser->StopThumbs();
    ASSERT_TRUE(WaitIdle());
    EXPECT_TRUE(sawStop.load());
    // Item 5 is finished and its cell repainted; nothing after it.
    EXPECT_EQ(record.Built(), std::vector<int>({0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(record.Repaints(), std::vector<int>({0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(browser->Item(5)->Thumb.Image.size(), QSize(10, 10));
    for (int i = 6; i < 10; ++i)
        EXPECT_FALSE(browser->Item(i)->HasThumb.load()) << i;
    // Idle: a stop changes nothing and Clear frees at once.
    browser->StopThumbs();
    EXPECT_EQ(browser->State(), TPicThumb::StateIdle);
    browser->Clear();
    EXPECT_EQ(browser->Count(), 0);
}

TEST_F(ThumbWorkerTest, StopRightAfterStartIsNeverLost)
{
    AddItems(50);
    UseCallback([](TPicThumb* sender, int) {
        // Should the worker reach its first item before the stop, it
        // finishes only that one.
        WorkerWaitsForState(sender, TPicThumb::StateStopRequested);
    });
    browser->StartThumbs();
    browser->StopThumbs();
    EXPECT_EQ(browser->State(), TPicThumb::StateStopRequested);
    browser->Clear();
    EXPECT_EQ(browser->State(), TPicThumb::StateIdle);
    EXPECT_EQ(browser->Count(), 0);
    EXPECT_LE(record.Built().size(), 1u);
    QCoreApplication::processEvents();
    EXPECT_LE(record.Built().size(), 1u);
}

TEST_F(ThumbWorkerTest, ClearWaitsForTheRunningCallbackWhileEventsGoOn)
{
    AddItems(6);
    TGate gate;
    std::atomic<bool> inThird{false};
    std::atomic<bool> thirdDone{false};
    UseCallback([&](TPicThumb*, int index) {
        if (index == 2) {
            inThird = true;
            gate.Wait();
            thirdDone = true;
        }
    });
    browser->StartThumbs();
    ASSERT_TRUE(WaitUntil([&] { return inThird.load(); }));
    browser->StopThumbs();
    // Only an event handled during Clear's wait lets the callback finish.
    bool timerRan = false;
    QTimer::singleShot(0, [&] {
        timerRan = true;
        gate.Open();
    });
    browser->Clear();
    EXPECT_TRUE(timerRan);
    EXPECT_TRUE(thirdDone.load());
    EXPECT_EQ(browser->State(), TPicThumb::StateIdle);
    EXPECT_EQ(record.Built(), std::vector<int>({0, 1, 2}));
    EXPECT_EQ(browser->Count(), 0);
}

TEST_F(ThumbWorkerTest, FailingCallbackOnTheWorkerEndsTheRunIdle)
{
    AddItems(6);
    UseCallback([](TPicThumb*, int index) {
        if (index == 3)
            throw std::runtime_error("Cannot open file f3.okx");
    });
    browser->StartThumbs();
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(record.Built(), std::vector<int>({0, 1, 2, 3}));
    EXPECT_EQ(record.Repaints(), std::vector<int>({0, 1, 2}));
    EXPECT_TRUE(browser->Item(3)->HasThumb.load()); // kept, empty
    EXPECT_TRUE(browser->Item(3)->Thumb.Image.isNull());
    EXPECT_FALSE(browser->Item(4)->HasThumb.load());
    browser->StopThumbs();
    EXPECT_EQ(browser->State(), TPicThumb::StateIdle);

    // A later run builds the rest, but not the failed item again.
    UseCallback();
    browser->StartThumbs();
    ASSERT_TRUE(WaitIdle());
    browser->Clear();
    EXPECT_EQ(record.Built(), std::vector<int>({0, 1, 2, 3, 4, 5}));
}

TEST_F(ThumbWorkerTest, FailingCallbackOnTheCallersThreadReachesTheCaller)
{
    AddItems(4);
    UseCallback([](TPicThumb*, int index) {
        if (index == 1)
            throw std::runtime_error("damaged");
    });
    EXPECT_THROW(browser->BuildThumbs(), std::runtime_error);
    EXPECT_EQ(browser->State(), TPicThumb::StateIdle);
    EXPECT_EQ(record.Built(), std::vector<int>({0, 1}));
    EXPECT_FALSE(browser->Item(2)->HasThumb.load());
}

TEST_F(ThumbWorkerTest, NewRunWaitsForTheActiveOne)
{
    AddItems(4);
    TGate gate;
    UseCallback([&](TPicThumb*, int index) {
        if (index == 0)
            gate.Wait();
    });
    browser->StartThumbs();
    QTimer::singleShot(0, [&] { gate.Open(); });
    browser->BuildThumbs(); // waits for the worker, then finds all built
    EXPECT_EQ(record.Built(), std::vector<int>({0, 1, 2, 3}));
    browser->StartThumbs();
    browser->StartThumbs();
    browser->Clear();
    EXPECT_EQ(record.Built(), std::vector<int>({0, 1, 2, 3}));
}

TEST_F(ThumbWorkerTest, AddFileDuringARunWaitsForIt)
{
    AddItems(3);
    TGate gate;
    UseCallback([&](TPicThumb*, int index) {
        if (index == 0)
            gate.Wait();
    });
    browser->StartThumbs();
    QTimer::singleShot(0, [&] { gate.Open(); });
    AddItems(1);
    EXPECT_EQ(browser->State(), TPicThumb::StateIdle);
    EXPECT_EQ(browser->Count(), 4);
    EXPECT_EQ(record.Built(), std::vector<int>({0, 1, 2}));
    EXPECT_FALSE(browser->Item(3)->HasThumb.load());
}

TEST_F(ThumbWorkerTest, RefreshThumbRebuildsOneItem)
{
    AddItems(3);
    UseCallback();
    browser->BuildThumbs();
    record.progress.clear();
    {
        std::lock_guard<std::mutex> l(record.lock);
        record.repaints.clear();
    }
    browser->Item(1)->Thumb.Image = MakeSolid(3, 3, Qt::blue);
    browser->RefreshThumb(1);
    EXPECT_EQ(record.Built(), std::vector<int>({0, 1, 2, 1}));
    EXPECT_EQ(record.Repaints(), std::vector<int>({1}));
    EXPECT_TRUE(record.progress.empty());
    EXPECT_FALSE(record.mismatch.load()); // a new, empty bitmap was handed over
    EXPECT_EQ(browser->Item(1)->Thumb.Image.size(), QSize(10, 10));
    EXPECT_THROW(browser->RefreshThumb(3), std::out_of_range);
    EXPECT_THROW(browser->RefreshThumb(-1), std::out_of_range);

    browser->OnCreateThumb = nullptr;
    browser->RefreshThumb(1); // nothing happens
    EXPECT_EQ(browser->Item(1)->Thumb.Image.size(), QSize(10, 10));
}

TEST_F(ThumbWorkerTest, RefreshThumbDuringARunWaitsForIt)
{
    AddItems(3);
    TGate gate;
    UseCallback([&](TPicThumb*, int index) {
        if (index == 0 && record.Built().size() == 1)
            gate.Wait();
    });
    browser->StartThumbs();
    QTimer::singleShot(0, [&] { gate.Open(); });
    browser->RefreshThumb(0);
    EXPECT_EQ(record.Built(), std::vector<int>({0, 1, 2, 0}));
    EXPECT_EQ(browser->State(), TPicThumb::StateIdle);
}

TEST_F(ThumbWorkerTest, BrowserDestroyedWhileItsWorkerRuns)
{
    AddItems(8);
    std::atomic<bool> inSecond{false};
    std::atomic<bool> destroyed{false};
    std::atomic<bool> calledAfterDestruction{false};
    UseCallback([&](TPicThumb* sender, int index) {
        if (destroyed)
            calledAfterDestruction = true;
        if (index == 1) {
            inSecond = true;
            // The destructor asks for the stop and waits for this callback.
            WorkerWaitsForState(sender, TPicThumb::StateStopRequested);
        }
    });
    browser->StartThumbs();
    ASSERT_TRUE(WaitUntil([&] { return inSecond.load(); }));
    browser.reset();
    destroyed = true;
    QCoreApplication::processEvents();
    EXPECT_FALSE(calledAfterDestruction.load());
    EXPECT_EQ(record.Built(), std::vector<int>({0, 1}));
    // No cell repaint is asked for on a browser being destroyed.
    EXPECT_EQ(record.Repaints(), std::vector<int>({0}));
}

TEST_F(ThumbWorkerTest, BrowserDestroyedRightAfterStart)
{
    AddItems(20);
    UseCallback();
    browser->StartThumbs();
    browser.reset();
    const size_t built = record.Built().size();
    QCoreApplication::processEvents();
    EXPECT_EQ(record.Built().size(), built);
}

TEST(ThumbThreadTest, SuspendedThreadRunsOnlyWhenStarted)
{
    TTempDir dir;
    TPicThumb browser;
    browser.AddFile(dir.write(QStringLiteral("a.okx"), "x"));
    std::atomic<int> calls{0};
    browser.OnCreateThumb = [&](TPicThumb*, const QString&, TThumbBitmap&, int32_t, int32_t,
                                PImageInfor) { ++calls; };
    {
        TCreateThumbThread thread(true, &browser);
        EXPECT_FALSE(thread.Finished());
        EXPECT_EQ(thread.Browser, &browser);
        thread.Start();
        thread.Join();
        EXPECT_TRUE(thread.Finished());
        thread.Join(); // a second join does nothing
    }
    EXPECT_EQ(calls.load(), 1);
    EXPECT_EQ(browser.State(), TPicThumb::StateIdle);
    {
        TCreateThumbThread never(true, &browser); // destroyed without a start
        EXPECT_FALSE(never.Finished());
    }
}
