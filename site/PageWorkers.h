#pragma once
// The threads that run pages, apart from the threads that accept and read
// sockets. A page that waits (for a mail relay, the database's write turn)
// holds only its own worker: when queued pages find no worker for a moment
// (every one waits), more start, up to `most`; workers beyond `ready` end
// after a while idle. Busy workers that take page after page start none, so
// a loaded server keeps about `ready` workers for its cores.
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace site {

class PageWorkers {
public:
    PageWorkers(std::size_t ready, std::size_t most);
    ~PageWorkers();  // Join
    PageWorkers(const PageWorkers&) = delete;
    PageWorkers& operator=(const PageWorkers&) = delete;

    // Runs `job` on the next free worker.
    void Run(std::function<void()> job);
    // Runs the jobs queued so far, then ends every worker.
    void Join();

private:
    void work();
    void watch();
    void startWorker();  // under mutex_

    const std::size_t ready_, most_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable stop_;
    std::deque<std::function<void()>> jobs_;
    std::vector<std::thread> threads_;
    std::vector<std::thread::id> ended_;  // threads that left on their own, to join
    std::size_t running_ = 0;             // workers started and not ended
    std::size_t idle_ = 0;
    std::size_t taken_ = 0;  // jobs taken so far
    bool stopping_ = false;
    std::thread watcher_;
};

}  // namespace site
