#include "platform/WriteTurn.h"

#include <algorithm>
#include <map>
#include <thread>

#include "platform/Error.h"
#include "platform/SqliteDatabase.h"
#include "platform/WaitMark.h"

namespace platform {

namespace {

std::mutex registryLock;
std::map<std::string, std::unique_ptr<WriteTurn>>& Registry() {
    static auto* turns = new std::map<std::string, std::unique_ptr<WriteTurn>>;  // never destroyed
    return *turns;
}

// A turn lasts a fraction of a millisecond, and waking a sleeping thread
// takes about as long on a busy machine: a few writers that find the turn
// held watch for it awake for a while before they join the line, and the
// first in line watches for it awake each time it is woken, past the time
// after which it is handed the turn.
constexpr auto kWatchTime = 2 * TurnLine::kLongWait;
constexpr int kMostWatchingOutOfLine = 2;
// How often a waiter looks again whether the holder's change is a long one.
constexpr auto kLongChangeLook = std::chrono::milliseconds(100);

std::function<void()>& WaitingForLongChangeHook() {
    static auto* hook = new std::function<void()>;  // never destroyed
    return *hook;
}

}  // namespace

WriteTurn& WriteTurn::Of(const std::string& path) {
    std::lock_guard guard(registryLock);
    auto& slot = Registry()[path];
    if (!slot) slot.reset(new WriteTurn(path));
    return *slot;
}

bool WriteTurn::TryAcquire() {
    std::lock_guard queue(queueLock_);
    return line_.Waiting() == 0 && line_.Take(nullptr, std::chrono::steady_clock::now());
}

bool WriteTurn::Acquire(std::chrono::milliseconds timeout) {
    std::unique_lock queue(queueLock_);
    const auto now = std::chrono::steady_clock::now();
    if (line_.Take(nullptr, now)) return true;
    if (line_.Waiting() >= kMostWaiting)
        throw RuntimeError(kErrDatabase, kWritersQueueFullText, kBoardSource, kUnavailable);
    if (watchingOutOfLine_ < kMostWatchingOutOfLine && !HeldByOthersLongChange()) {
        ++watchingOutOfLine_;
        const bool taken = WatchOutOfLine(queue, std::min(now + kWatchTime, now + timeout));
        --watchingOutOfLine_;
        if (taken) return true;
    }
    return WaitInQueue(queue, timeout);
}

bool WriteTurn::WatchOutOfLine(std::unique_lock<std::mutex>& queue, std::chrono::steady_clock::time_point until) {
    for (;;) {
        queue.unlock();
        do {
            std::this_thread::yield();
        } while (line_.Held() && std::chrono::steady_clock::now() < until);
        queue.lock();
        const auto now = std::chrono::steady_clock::now();
        if (line_.Take(nullptr, now)) return true;
        if (now >= until) return false;
    }
}

bool WriteTurn::WaitInQueue(std::unique_lock<std::mutex>& queue, std::chrono::milliseconds timeout) {
    const WaitMark waiting;
    TurnWaiter me;
    const auto start = std::chrono::steady_clock::now();
    line_.Join(me, start);
    // While the holder's change is known to be long, the wait goes on past
    // the usual deadline: giving up would lose the writer's work for no
    // fault of its own. (Not for the long change's own thread, which would
    // wait for itself.)
    auto deadline = start + timeout;
    const auto longest = start + kLongChangeWait;
    bool hooked = false, watch = true;
    for (;;) {
        if (me.given) return true;
        if (line_.Take(&me, std::chrono::steady_clock::now())) {
            WakeFirst();
            return true;
        }
        const bool forLongChange = HeldByOthersLongChange();
        // Behind a long change the usual deadline counts from its end: the
        // writers queued behind it still go first.
        if (forLongChange) deadline = std::chrono::steady_clock::now() + timeout;
        if (forLongChange && !std::exchange(hooked, true) && WaitingForLongChangeHook()) {
            queue.unlock();
            WaitingForLongChangeHook()();
            queue.lock();
            continue;
        }
        const auto until = forLongChange ? longest : deadline;
        const auto now = std::chrono::steady_clock::now();
        if (now >= until) {
            line_.Leave(me, now);
            WakeFirst();
            return false;
        }
        if (line_.First() == &me && std::exchange(watch, false)) {
            queue.unlock();
            const auto watchEnd = std::min(until, now + kWatchTime);
            while (!me.given.load() && line_.Held() && std::chrono::steady_clock::now() < watchEnd)
                std::this_thread::yield();
            queue.lock();  // Release is done with `me` once it has let go of the lock
            continue;
        }
        me.wake.wait_until(queue, std::min(until, now + kLongChangeLook));
        watch = true;
    }
}

void WriteTurn::WakeFirst() {
    if (TurnWaiter* first = line_.First()) first->wake.notify_one();
}

std::size_t WriteTurn::Waiting() {
    std::lock_guard queue(queueLock_);
    return line_.Waiting();
}

void WriteTurn::SetWaitingForLongChangeHook(std::function<void()> hook) {
    WaitingForLongChangeHook() = std::move(hook);
}

void WriteTurn::Release() {
    if (writer_) writer_->GrantTo({});
    longChangeBy_.store({});
    std::lock_guard queue(queueLock_);
    // Notified under the lock: once `given` is seen, the waiter is gone.
    TurnWaiter* woken = line_.Release(std::chrono::steady_clock::now());
    if (woken) woken->wake.notify_one();
    if (line_.First() != woken) WakeFirst();
}

std::shared_ptr<SqliteDatabase> WriteTurn::Writer() {
    DropWriterOfGoneFile();
    if (!writer_) {
        const auto file = IdentityOfFile(path_);
        if (!file) return nullptr;
        writer_ = std::make_shared<SqliteDatabase>(path_, false, HandleUse::WritersInTurn);
        writerFile_ = *file;
        // Tests and tools open many files in one process: the handles of
        // files since deleted would hold them open.
        std::lock_guard guard(registryLock);
        for (auto& [path, turn] : Registry())
            if (turn.get() != this && turn->TryAcquire()) {
                turn->DropWriterOfGoneFile();
                turn->Release();
            }
    }
    writer_->GrantTo(std::this_thread::get_id());
    return writer_;
}

void WriteTurn::DropWriterOfGoneFile() {
    if (!writer_) return;
    const auto file = IdentityOfFile(path_);
    if (!(file && *file == writerFile_)) writer_.reset();
}

}  // namespace platform
