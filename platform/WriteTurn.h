#pragma once
// The writers of one database file take turns: a transaction holds the
// file's turn from its BEGIN to its end, and runs on the turn's own SQLite
// handle. SQLite lets one writer at a time in anyway; queueing here hands
// the lock on at once instead of SQLite's sleep-and-retry, and one handle
// for all writers keeps its page cache between transactions (a handle's
// cache is dropped whenever another handle has committed, so a handle per
// writer read every page of its insert from the file again).
//
// Who gets the turn next: platform/TurnLine.h.
#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>

#include "platform/FileIdentity.h"
#include "platform/TurnLine.h"

namespace platform {

class SqliteDatabase;

class WriteTurn {
public:
    // The turn of the file at `path`, made at first use and kept.
    static WriteTurn& Of(const std::string& path);

    // Waits for the turn; false when it did not come within `timeout`. While
    // a long change of another thread holds it, the wait goes on past
    // `timeout` until the change ends, kLongChangeWait at most. Raises
    // kErrDatabase, answered kUnavailable, at once when kMostWaiting
    // writers wait already: each holds a page thread, and a pile of them
    // behind a long change would take every thread the readers need.
    bool Acquire(std::chrono::milliseconds timeout);
    static constexpr std::chrono::minutes kLongChangeWait{5};
    static constexpr std::size_t kMostWaiting = 64;
    // Takes the turn only when it is free and no one waits for it.
    bool TryAcquire();
    // Hands the turn on (TurnLine).
    void Release();
    // Writers waiting for the turn (tests).
    std::size_t Waiting();

    // By the holder: this turn is a long change (one over all the posts of
    // a forum, say), which writers wait for instead of failing at their
    // usual deadline. It ends with the turn.
    void MarkLongChange() { longChangeBy_.store(std::this_thread::get_id()); }
    // Held by a long change of another thread than the caller's.
    bool HeldByOthersLongChange() const {
        const std::thread::id by = longChangeBy_.load();
        return by != std::thread::id() && by != std::this_thread::get_id();
    }
    // Tests: called when a writer finds a long change holding the turn and
    // waits for it.
    static void SetWaitingForLongChangeHook(std::function<void()> hook);

    // While the turn is held: the file's writing handle, granted to the
    // calling thread, opened afresh when the path names another file now;
    // null when no file is there.
    std::shared_ptr<SqliteDatabase> Writer();

private:
    explicit WriteTurn(std::string path) : path_(std::move(path)) {}
    // Closes the writing handle when its file is gone or replaced; the
    // turn is held.
    void DropWriterOfGoneFile();

    const std::string path_;
    // Watches for the turn awake until `until`, without joining the line;
    // true when it took it. `queue` is locked.
    bool WatchOutOfLine(std::unique_lock<std::mutex>& queue, std::chrono::steady_clock::time_point until);
    // Waits in line until the turn comes, or gives up at the deadline;
    // `queue` is locked.
    bool WaitInQueue(std::unique_lock<std::mutex>& queue, std::chrono::milliseconds timeout);
    // The first in line, after a change of who that is or whether the turn
    // is free, watches for the turn; `queue` is locked.
    void WakeFirst();

    std::mutex queueLock_;  // guards line_ and watchingOutOfLine_
    TurnLine line_;
    int watchingOutOfLine_ = 0;
    std::atomic<std::thread::id> longChangeBy_{};
    std::shared_ptr<SqliteDatabase> writer_;
    FileIdentity writerFile_;
};

// A turn held, given back when this goes.
class HeldTurn {
public:
    HeldTurn() = default;
    explicit HeldTurn(WriteTurn& turn) : turn_(&turn) {}
    HeldTurn(HeldTurn&& other) noexcept : turn_(std::exchange(other.turn_, nullptr)) {}
    HeldTurn& operator=(HeldTurn&& other) noexcept {
        if (this != &other) {
            Reset();
            turn_ = std::exchange(other.turn_, nullptr);
        }
        return *this;
    }
    ~HeldTurn() { Reset(); }
    bool Owns() const { return turn_ != nullptr; }
    WriteTurn& Turn() const { return *turn_; }
    void Reset() {
        if (turn_) std::exchange(turn_, nullptr)->Release();
    }

private:
    WriteTurn* turn_ = nullptr;
};

}  // namespace platform
