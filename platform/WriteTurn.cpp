#include "platform/WriteTurn.h"

#include <algorithm>
#include <map>
#include <thread>

#include "platform/SqliteDatabase.h"

namespace platform {

namespace {

std::mutex registryLock;
std::map<std::string, std::unique_ptr<WriteTurn>>& Registry() {
    static auto* turns = new std::map<std::string, std::unique_ptr<WriteTurn>>;  // never destroyed
    return *turns;
}

// A turn lasts a fraction of a millisecond, and waking a sleeping thread
// takes about as long on a busy machine: a few waiters try for a while
// before they sleep. Sleeping ones are woken as the mutex hands on.
constexpr auto kSpinTime = std::chrono::microseconds(1000);
constexpr int kMostSpinning = 2;
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

bool WriteTurn::TryAcquire() { return turn_.try_lock(); }

bool WriteTurn::Acquire(std::chrono::milliseconds timeout) {
    if (turn_.try_lock()) return true;
    if (spinning_.fetch_add(1) < kMostSpinning) {
        const auto until = std::chrono::steady_clock::now() + kSpinTime;
        do {
            std::this_thread::yield();
            if (turn_.try_lock()) {
                spinning_.fetch_sub(1);
                return true;
            }
        } while (std::chrono::steady_clock::now() < until);
    }
    spinning_.fetch_sub(1);
    // While the holder's change is known to be long, the wait goes on past
    // the usual deadline: giving up would lose the writer's work for no
    // fault of its own. (Not for the long change's own thread, which would
    // wait for itself.)
    const auto start = std::chrono::steady_clock::now();
    const auto deadline = start + timeout, longest = start + kLongChangeWait;
    bool hooked = false;
    for (;;) {
        const bool forLongChange = HeldByOthersLongChange();
        if (forLongChange && !std::exchange(hooked, true) && WaitingForLongChangeHook())
            WaitingForLongChangeHook()();
        const auto until = forLongChange ? longest : deadline;
        const auto now = std::chrono::steady_clock::now();
        if (now >= until) return false;
        if (turn_.try_lock_until(std::min(until, now + kLongChangeLook))) return true;
    }
}

void WriteTurn::SetWaitingForLongChangeHook(std::function<void()> hook) {
    WaitingForLongChangeHook() = std::move(hook);
}

void WriteTurn::Release() {
    if (writer_) writer_->GrantTo({});
    longChangeBy_.store({});
    turn_.unlock();
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
