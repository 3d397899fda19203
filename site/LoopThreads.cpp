#include "site/LoopThreads.h"

#include <algorithm>

#include "platform/WaitMark.h"

namespace site {

// What a loop's threads tell the watcher; on a cache line of its own, as
// each loop's threads change it at every page.
struct alignas(64) LoopThreads::Loop {
    std::atomic<std::size_t> runners{0};  // threads serving the loop, in a page or not (changed under mutex_)
    std::atomic<std::size_t> inPage{0};
    std::atomic<std::size_t> pagesEnded{0};
    std::atomic<std::size_t> waits{0};  // wait marks of its threads (platform/WaitMark.h)
    // The watcher's own: pages ended at its last look, and how many looks
    // in a row found every thread in a page.
    std::size_t endedAtLook = 0;
    std::size_t heldLooks = 0;
};

struct LoopThreads::Runner {
    Loop* loop = nullptr;  // changed under mutex_
};

thread_local LoopThreads::Runner* LoopThreads::runner_ = nullptr;

LoopThreads::Page::Page() : runner_(LoopThreads::runner_) {
    if (runner_) ++runner_->loop->inPage;
}

LoopThreads::Page::~Page() {
    if (!runner_) return;
    ++runner_->loop->pagesEnded;
    --runner_->loop->inPage;
}

LoopThreads::LoopThreads(std::size_t loops, std::size_t most, std::function<bool(std::size_t)> runOne,
                         std::function<void(std::size_t)> wake, std::chrono::milliseconds longPage)
    : most_(std::max(most, loops)), longPageLooks_(std::max<std::size_t>(1, longPage / kLook)),
      runOne_(std::move(runOne)), wake_(std::move(wake)), loops_(std::make_unique<Loop[]>(loops)), loopCount_(loops) {}

LoopThreads::~LoopThreads() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    stopWatch_.notify_all();
    if (watcher_.joinable()) watcher_.join();
    for (auto& thread : threads_) thread.join();
}

void LoopThreads::Run() {
    {
        std::lock_guard lock(mutex_);
        for (std::size_t i = 0; i < loopCount_; ++i) addThread(i);
    }
    watcher_ = std::thread([this] { watch(); });
    std::vector<std::thread> threads;
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return live_ == 0; });
        threads.swap(threads_);
        ended_.clear();
    }
    stopWatch_.notify_all();
    watcher_.join();
    for (auto& thread : threads) thread.join();
}

std::size_t LoopThreads::ThreadCount() {
    std::lock_guard lock(mutex_);
    return live_;
}

std::size_t LoopThreads::SpareCount() {
    std::lock_guard lock(mutex_);
    return spares_;
}

void LoopThreads::start(std::size_t loop) {
    // Threads that ended are joined here, at the next start.
    for (const std::thread::id id : ended_) {
        const auto it =
            std::find_if(threads_.begin(), threads_.end(), [id](const std::thread& t) { return t.get_id() == id; });
        if (it == threads_.end()) continue;
        it->join();
        threads_.erase(it);
    }
    ended_.clear();
    ++live_;
    threads_.emplace_back([this, loop] { serveThenWait(loop); });
}

void LoopThreads::addThread(std::size_t loop) {
    ++loops_[loop].runners;
    if (spares_ > calls_.size()) {
        calls_.push_back(loop);
        changed_.notify_all();
    } else {
        start(loop);
    }
}

// Serves a loop, then waits as a spare to serve the next one that calls.
void LoopThreads::serveThenWait(std::size_t loop) {
    Runner self;
    runner_ = &self;
    std::unique_lock lock(mutex_, std::defer_lock);
    while (serve(loop)) {
        lock.lock();
        ++spares_;
        changed_.wait_for(lock, kSpareIdle, [this] { return stopping_ || !calls_.empty(); });
        --spares_;
        if (stopping_ || calls_.empty()) break;
        loop = calls_.back();
        calls_.pop_back();
        lock.unlock();
    }
    platform::WaitMark::CountOn(nullptr);
    if (!lock.owns_lock()) lock.lock();
    --live_;
    ended_.push_back(std::this_thread::get_id());
    changed_.notify_all();
}

// True when the thread left a loop that has another free thread; false once
// the loop has stopped.
bool LoopThreads::serve(std::size_t index) {
    Loop& loop = loops_[index];
    {
        std::lock_guard lock(mutex_);
        runner_->loop = &loop;
    }
    platform::WaitMark::CountOn(&loop.waits);
    for (;;) {
        if (!runOne_(index)) {
            std::lock_guard lock(mutex_);
            stopping_ = true;
            changed_.notify_all();
            stopWatch_.notify_all();
            return false;
        }
        // Only a loop that had a thread added has one to spare.
        if (loop.runners.load(std::memory_order_relaxed) > 1 && leave(loop)) break;
    }
    wake_(index);
    return true;
}

bool LoopThreads::leave(Loop& loop) {
    std::lock_guard lock(mutex_);
    // This thread is free, as are the others not in a page.
    if (loop.runners - loop.inPage < 2) return false;
    --loop.runners;
    return true;
}

void LoopThreads::watch() {
    std::unique_lock lock(mutex_);
    while (!stopping_) {
        stopWatch_.wait_for(lock, kLook, [this] { return stopping_; });
        if (stopping_) break;
        for (std::size_t i = 0; i < loopCount_; ++i) {
            Loop& loop = loops_[i];
            // A loop served by several threads is woken at every look: one
            // may wait for work another queued without a signal.
            if (loop.runners.load() > 1) wake_(i);
            const std::size_t ended = loop.pagesEnded.load();
            const bool held = loop.inPage.load() >= loop.runners.load() && ended == loop.endedAtLook;
            loop.endedAtLook = ended;
            loop.heldLooks = held ? loop.heldLooks + 1 : 0;
            // At the cap, only a spare can go to it.
            if (!held || (live_ >= most_ && spares_ <= calls_.size())) continue;
            if (loop.heldLooks >= longPageLooks_ || (loop.heldLooks >= kWaitLooks && loop.waits.load() > 0)) {
                addThread(i);
                loop.heldLooks = 0;
            }
        }
    }
}

}  // namespace site
