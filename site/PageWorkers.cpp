#include "site/PageWorkers.h"

#include <algorithm>
#include <chrono>

namespace site {

namespace {
// How long a worker beyond the ready ones waits for work before it ends.
constexpr std::chrono::seconds kSpareIdle{30};
// How long queued pages wait with no worker taking one before more start.
constexpr std::chrono::milliseconds kStall{20};
}  // namespace

PageWorkers::PageWorkers(std::size_t ready, std::size_t most)
    : ready_(std::max<std::size_t>(ready, 1)), most_(std::max(most, std::max<std::size_t>(ready, 1))) {
    std::lock_guard lock(mutex_);
    for (std::size_t i = 0; i < ready_; ++i) startWorker();
    watcher_ = std::thread([this] { watch(); });
}

PageWorkers::~PageWorkers() { Join(); }

void PageWorkers::startWorker() {
    // Threads that ended on their own are joined here, at the next start.
    for (const std::thread::id id : ended_) {
        const auto it = std::find_if(threads_.begin(), threads_.end(),
                                     [id](const std::thread& t) { return t.get_id() == id; });
        if (it == threads_.end()) continue;
        it->join();
        threads_.erase(it);
    }
    ended_.clear();
    ++running_;
    threads_.emplace_back([this] { work(); });
}

void PageWorkers::Run(std::function<void()> job) {
    std::lock_guard lock(mutex_);
    jobs_.push_back(std::move(job));
    if (idle_ > 0) wake_.notify_one();
}

// Workers that take no queued page for a while all wait for something: as
// many more start as pages wait.
void PageWorkers::watch() {
    std::unique_lock lock(mutex_);
    std::size_t takenBefore = taken_;
    while (!stopping_) {
        stop_.wait_for(lock, kStall, [this] { return stopping_; });
        if (stopping_) break;
        if (!jobs_.empty() && taken_ == takenBefore && idle_ == 0)
            for (std::size_t i = jobs_.size(); i > 0 && running_ < most_; --i) startWorker();
        takenBefore = taken_;
    }
}

void PageWorkers::work() {
    std::unique_lock lock(mutex_);
    const auto hasWork = [this] { return stopping_ || !jobs_.empty(); };
    for (;;) {
        ++idle_;
        if (running_ > ready_)
            wake_.wait_for(lock, kSpareIdle, hasWork);
        else
            wake_.wait(lock, hasWork);
        --idle_;
        if (jobs_.empty()) {
            // Stopping, or a spare worker idle for a while.
            if (stopping_ || running_ > ready_) break;
            continue;
        }
        auto job = std::move(jobs_.front());
        jobs_.pop_front();
        ++taken_;
        lock.unlock();
        job();
        job = nullptr;  // what the job holds goes before the next wait
        lock.lock();
    }
    --running_;
    if (!stopping_) ended_.push_back(std::this_thread::get_id());
}

void PageWorkers::Join() {
    std::vector<std::thread> threads;
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        threads.swap(threads_);
        ended_.clear();
    }
    wake_.notify_all();
    stop_.notify_all();
    if (watcher_.joinable()) watcher_.join();
    for (auto& thread : threads) thread.join();
}

}  // namespace site
