#pragma once
// A file's write turn held, with as many writers waiting for it as the
// turn lets wait; they take their turns when the object goes.
//
//   FullWriteQueue full(db.con.FilePath());
//   // the next writer of the file is refused at once
#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "platform/WriteTurn.h"

class FullWriteQueue {
public:
    explicit FullWriteQueue(const std::string& path) : turn_(platform::WriteTurn::Of(path)) {
        while (!turn_.TryAcquire()) std::this_thread::yield();
        for (std::size_t i = 0; i < platform::WriteTurn::kMostWaiting; ++i)
            writers_.emplace_back([this] {
                if (!turn_.Acquire(std::chrono::minutes(1))) return;
                ++served_;
                turn_.Release();
            });
        while (turn_.Waiting() < platform::WriteTurn::kMostWaiting) std::this_thread::yield();
    }
    ~FullWriteQueue() { Drain(); }
    FullWriteQueue(const FullWriteQueue&) = delete;
    FullWriteQueue& operator=(const FullWriteQueue&) = delete;

    // Gives the turn back and lets the waiting writers through; how many took it.
    int Drain() {
        if (!writers_.empty()) turn_.Release();
        for (std::thread& writer : writers_) writer.join();
        writers_.clear();
        return served_;
    }

private:
    platform::WriteTurn& turn_;
    std::vector<std::thread> writers_;
    std::atomic<int> served_ = 0;
};
