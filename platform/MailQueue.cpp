#include "platform/MailQueue.h"
#include "platform/StopHooks.h"

#include <condition_variable>
#include <cstdio>
#include <deque>
#include <mutex>
#include <string>
#include <thread>

namespace platform {

namespace {

// About an hour of mails at the relay's deadline: beyond it the relay is
// taken for gone.
constexpr std::size_t kMostWaiting = 256;

void LogLine(const std::string& line) { std::fprintf(stderr, "board-server: %s\n", line.c_str()); }

class Sender {
public:
    Sender() : thread_([this] { run(); }) {}

    // When the program stops: the mail being sent goes on to its deadline,
    // the waiting ones are dropped.
    void stop() {
        std::size_t dropped = 0;
        {
            std::lock_guard lock(mutex_);
            stopping_ = true;
            dropped = waiting_.size();
            waiting_.clear();
        }
        wake_.notify_one();
        if (thread_.joinable()) thread_.join();
        if (dropped > 0) LogLine(std::to_string(dropped) + " queued mails were not sent: the board stopped.");
    }

    void add(MailComponent mail) {
        {
            std::lock_guard lock(mutex_);
            if (stopping_) {
                LogLine("a mail was not sent: the board stops.");
                return;
            }
            if (waiting_.size() >= kMostWaiting) {
                LogLine("a mail was not sent: " + std::to_string(kMostWaiting) +
                        " mails wait for the mail server already.");
                return;
            }
            waiting_.push_back(std::move(mail));
        }
        wake_.notify_one();
    }

    void waitUntilIdle() {
        std::unique_lock lock(mutex_);
        idle_.wait(lock, [this] { return waiting_.empty() && !sending_; });
    }

private:
    void run() {
        std::unique_lock lock(mutex_);
        for (;;) {
            wake_.wait(lock, [this] { return stopping_ || !waiting_.empty(); });
            if (waiting_.empty()) return;
            MailComponent mail = std::move(waiting_.front());
            waiting_.pop_front();
            sending_ = true;
            lock.unlock();
            const MailResult result = mail.SendNow();
            if (!result.sent) LogLine("a queued mail was not sent: " + result.failure);
            lock.lock();
            sending_ = false;
            idle_.notify_all();
        }
    }

    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable idle_;
    std::deque<MailComponent> waiting_;
    bool sending_ = false;
    bool stopping_ = false;
    std::thread thread_;  // last: starts once the rest is ready
};

// Never destroyed: at the program's exit the thread may still wait for
// work. The program stops it first (a stop hook), before the libraries it
// sends with are torn down.
Sender& TheSender() {
    static Sender& sender = [] () -> Sender& {
        Sender* made = new Sender;
        AtStop([made] { made->stop(); });
        return *made;
    }();
    return sender;
}

}  // namespace

void QueueMail(MailComponent mail) { TheSender().add(std::move(mail)); }

void WaitForQueuedMail() { TheSender().waitUntilIdle(); }

}  // namespace platform
