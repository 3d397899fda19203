#pragma once
// Marks the calling thread as waiting (for the write turn, a mail relay,
// another connection's database lock) while it lives. The host counts the
// marks of the threads that run its pages: a page that waits holds up no
// other visitor, since its loop gets another thread. Put a mark around every
// wait a page may make that can last; a page that computes is not waiting.
#include <atomic>
#include <cstddef>

namespace platform {

class WaitMark {
public:
    WaitMark() : counter_(threadCounter_) {
        if (counter_) counter_->fetch_add(1, std::memory_order_relaxed);
    }
    ~WaitMark() {
        if (counter_) counter_->fetch_sub(1, std::memory_order_relaxed);
    }
    WaitMark(const WaitMark&) = delete;
    WaitMark& operator=(const WaitMark&) = delete;

    // The calling thread's marks count on `counter` from now on (null: on
    // nothing).
    static void CountOn(std::atomic<std::size_t>* counter) { threadCounter_ = counter; }

private:
    std::atomic<std::size_t>* const counter_;
    static thread_local std::atomic<std::size_t>* threadCounter_;
};

}  // namespace platform
