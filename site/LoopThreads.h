#pragma once
// The threads that run the socket loops and the pages on them. A page runs
// on the loop thread that read its request: handing every request to a
// thread of its own cost a wake-up or two per request, a third of the
// throughput and more. A page that waits (a mail relay, the database's
// write turn, another connection's lock) holds its thread, though, and with
// it the other connections of its loop; so a watcher looks at every loop
// each kLook, and a loop whose every thread has been in a page for
// kWaitLooks looks in a row gets one more thread, which goes on serving its
// other connections: when one of them waits (holds a platform::WaitMark), or
// after `longPage` when they all compute. (A thread that computes may only
// be waiting for a core on a busy machine, or for a moment for a lock: each
// thread costs memory, and no more threads make a busy machine faster.)
// After its page, a thread that finds another free thread on its loop
// leaves it and waits as a spare for the next loop that needs one, ending
// after a while unused.
//
// The rule for pages: a page may wait, marking the wait; it should not
// compute for long (past `longPage` its loop's other visitors wait for a
// new thread); and a connection's work stays on its strand, never handed to
// another thread.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace site {

class LoopThreads {
    struct Loop;
    struct Runner;

public:
    static constexpr std::chrono::milliseconds kLook{5};
    static constexpr std::size_t kWaitLooks = 4;
    static constexpr std::chrono::milliseconds kLongPage{100};
    static constexpr std::chrono::seconds kSpareIdle{30};

    // `runOne(i)` runs one handler of loop i, waiting for one; false once
    // the loop has stopped. `wake(i)` has loop i's threads look at its queue
    // again (for work a leaving thread queued last). At most `most` threads
    // in all.
    LoopThreads(std::size_t loops, std::size_t most, std::function<bool(std::size_t)> runOne,
                std::function<void(std::size_t)> wake, std::chrono::milliseconds longPage = kLongPage);
    ~LoopThreads();
    LoopThreads(const LoopThreads&) = delete;
    LoopThreads& operator=(const LoopThreads&) = delete;

    // Runs each loop on a thread of its own until the loops stop; returns
    // once every thread has ended (pages still running end first).
    void Run();

    // Marks the calling thread inside a page while it lives (nothing on a
    // thread that runs no loop).
    class Page {
    public:
        Page();
        ~Page();
        Page(const Page&) = delete;
        Page& operator=(const Page&) = delete;

    private:
        Runner* runner_;
    };

    // Threads started and not ended, spares among them; the spares.
    std::size_t ThreadCount();
    std::size_t SpareCount();

private:
    void serveThenWait(std::size_t loop);
    bool serve(std::size_t loop);
    bool leave(Loop& loop);
    void watch();
    void addThread(std::size_t loop);  // under mutex_
    void start(std::size_t loop);      // under mutex_

    static thread_local Runner* runner_;  // the calling thread's

    const std::size_t most_;
    const std::size_t longPageLooks_;
    const std::function<bool(std::size_t)> runOne_;
    const std::function<void(std::size_t)> wake_;
    std::unique_ptr<Loop[]> loops_;
    const std::size_t loopCount_;

    std::mutex mutex_;
    std::condition_variable changed_;  // a spare called, stopping, a thread ended
    std::condition_variable stopWatch_;
    std::vector<std::size_t> calls_;   // loops waiting for a spare
    std::size_t spares_ = 0;
    std::size_t live_ = 0;
    bool stopping_ = false;
    std::vector<std::thread> threads_;
    std::vector<std::thread::id> ended_;  // threads that returned, to join
    std::thread watcher_;
};

}  // namespace site
