// The threads of the socket loops, on loops of plain jobs.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <deque>
#include <functional>
#include <future>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "platform/WaitMark.h"
#include "site/LoopThreads.h"
#include "site/TestPages.h"

namespace {

using namespace std::chrono_literals;

// Runs its jobs one at a time per thread, as an event loop its handlers.
class JobLoop {
public:
    bool RunOne() {
        std::unique_lock lock(mutex_);
        ready_.wait(lock, [this] { return stopped_ || !jobs_.empty(); });
        if (stopped_) return false;
        auto job = std::move(jobs_.front());
        jobs_.pop_front();
        lock.unlock();
        job();
        return true;
    }
    void Post(std::function<void()> job) {
        std::lock_guard lock(mutex_);
        jobs_.push_back(std::move(job));
        ready_.notify_one();
    }
    void Stop() {
        std::lock_guard lock(mutex_);
        stopped_ = true;
        ready_.notify_all();
    }

private:
    std::mutex mutex_;
    std::condition_variable ready_;
    std::deque<std::function<void()>> jobs_;
    bool stopped_ = false;
};

// True once `holds` does, false when it still does not after ten seconds.
bool Eventually(const std::function<bool()>& holds) {
    for (int i = 0; i < 10000; ++i) {
        if (holds()) return true;
        std::this_thread::sleep_for(1ms);
    }
    return false;
}

class LoopThreadsTest : public ::testing::Test {
protected:
    // Pages that compute get their loop no other thread within the hour
    // unless a test says otherwise; a page that waits gets one within a few
    // looks.
    void Start(std::size_t loopCount, std::size_t most, std::chrono::milliseconds longPage = 1h) {
        loops = std::vector<JobLoop>(loopCount);
        threads = std::make_unique<site::LoopThreads>(
            loopCount, most, [this](std::size_t i) { return loops[i].RunOne(); },
            [this](std::size_t i) { loops[i].Post([] {}); }, longPage);
        running = std::thread([this] { threads->Run(); });
    }
    void TearDown() override {
        gate.Open();
        secondGate.Open();
        computing = false;
        for (auto& loop : loops) loop.Stop();
        if (running.joinable()) running.join();
    }
    // A page that waits at the gate.
    void PostHeldPage(std::size_t loop, site_test::Gate& at) {
        loops[loop].Post([&at] {
            const site::LoopThreads::Page page;
            at.Pass();
        });
    }
    void PostHeldPage(std::size_t loop = 0) { PostHeldPage(loop, gate); }
    // A page that sleeps at the gate without marking it a wait.
    void PostUnmarkedWait() {
        loops[0].Post([this] {
            const site::LoopThreads::Page page;
            gate.Pass(false);
        });
    }
    // A page that computes until the test ends, within a wait mark when
    // `marked`; returns once it runs.
    void PostComputingPage(bool marked = false) {
        computing = true;
        std::promise<void> started;
        loops[0].Post([this, &started, marked] {
            const site::LoopThreads::Page page;
            std::optional<platform::WaitMark> mark;
            if (marked) mark.emplace();
            started.set_value();
            while (computing) {
            }
        });
        started.get_future().wait();
    }
    // A page of loop 0 waits and gets a thread; once it is done, that thread,
    // spare now, serves loop 1's waiting page: no third thread comes.
    void ExpectTheSpareServesTheSecondLoop() {
        PostHeldPage(0);
        ASSERT_TRUE(gate.WaitUntilWaiting(1, 10s));
        ASSERT_TRUE(Served(0));
        gate.Open();
        ASSERT_TRUE(Eventually([&] { return threads->SpareCount() == 1; }));
        PostHeldPage(1, secondGate);
        ASSERT_TRUE(secondGate.WaitUntilWaiting(1, 10s));
        EXPECT_TRUE(Served(1));
        EXPECT_EQ(threads->ThreadCount(), 3u);
    }

    // True once a job posted now behind the others on `loop` has run.
    bool Served(std::size_t loop = 0) {
        auto done = std::make_shared<std::promise<void>>();
        auto ran = done->get_future();
        loops[loop].Post([done] { done->set_value(); });
        return ran.wait_for(10s) == std::future_status::ready;
    }

    site_test::Gate gate, secondGate;
    std::atomic<bool> computing{false};
    std::vector<JobLoop> loops;
    std::unique_ptr<site::LoopThreads> threads;
    std::thread running;
};

TEST_F(LoopThreadsTest, ALoopWhosePagesWaitGoesOnWithMoreThreads) {
    Start(2, 16);
    for (int i = 0; i < 3; ++i) PostHeldPage(0);
    ASSERT_TRUE(gate.WaitUntilWaiting(3, 10s));
    EXPECT_TRUE(Served(0));
    EXPECT_TRUE(Served(1));
    EXPECT_EQ(threads->ThreadCount(), 5u);  // each loop's own, and one for each held page
}

// Pages that wait take at most the threads allowed; the rest queue.
TEST_F(LoopThreadsTest, ThreadsStayWithinTheirMost) {
    Start(1, 3);
    for (int i = 0; i < 5; ++i) PostHeldPage();
    ASSERT_TRUE(gate.WaitUntilWaiting(3, 10s));
    std::this_thread::sleep_for(10 * site::LoopThreads::kLook);
    EXPECT_EQ(threads->ThreadCount(), 3u);
    gate.Open();
    EXPECT_TRUE(Served());
}

// The thread added for a page that waited leaves its loop after it and
// serves the next loop that needs one, instead of a new thread.
TEST_F(LoopThreadsTest, AThreadAddedForAWaitIsUsedAgain) {
    Start(2, 16);
    ExpectTheSpareServesTheSecondLoop();
}

// At the cap, the thread that a finished wait left spare goes to the next
// loop whose pages wait.
TEST_F(LoopThreadsTest, AtTheCapASpareGoesToTheLoopThatWaits) {
    Start(2, 3);
    ExpectTheSpareServesTheSecondLoop();
}

// Waits are known by their marks, not by what the scheduler says of the
// thread: a marked wait gets its loop another thread even while it keeps a
// core busy, and a sleep without a mark counts as computing.
TEST_F(LoopThreadsTest, AMarkedWaitGetsItsLoopAThreadWhateverTheThreadDoes) {
    Start(1, 16);
    PostComputingPage(true);
    EXPECT_TRUE(Served());
    EXPECT_EQ(threads->ThreadCount(), 2u);
}

TEST_F(LoopThreadsTest, AnUnmarkedSleepCountsAsComputing) {
    Start(1, 16);
    PostUnmarkedWait();
    ASSERT_TRUE(gate.WaitUntilWaiting(1, 10s));
    std::this_thread::sleep_for(10 * site::LoopThreads::kLook);
    EXPECT_EQ(threads->ThreadCount(), 1u);
}

// A page that computes holds only its loop, and that for a while: a thread
// that merely waits for a core on a busy machine looks the same.
TEST_F(LoopThreadsTest, APageThatComputesLongGetsItsLoopAnotherThreadLater) {
    Start(1, 16, site::LoopThreads::kLongPage);
    PostComputingPage();
    EXPECT_TRUE(Served());
    EXPECT_EQ(threads->ThreadCount(), 2u);
}

TEST_F(LoopThreadsTest, APageThatComputesGetsNoThreadAtOnce) {
    Start(1, 16);
    PostComputingPage();
    std::this_thread::sleep_for(10 * site::LoopThreads::kLook);
    EXPECT_EQ(threads->ThreadCount(), 1u);
}

// Stopping waits for the pages still running.
TEST_F(LoopThreadsTest, RunEndsAfterThePagesStillRunning) {
    Start(1, 16);
    std::atomic<bool> pageEnded{false};
    loops[0].Post([&] {
        const site::LoopThreads::Page page;
        gate.Pass();
        pageEnded = true;
    });
    ASSERT_TRUE(gate.WaitUntilWaiting(1, 10s));
    loops[0].Stop();
    gate.Open();
    running.join();
    EXPECT_TRUE(pageEnded);
}

}  // namespace
