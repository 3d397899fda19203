#pragma once
// Who has a file's write turn next (WriteTurn). While nobody in line has
// waited long, a free turn goes to whichever writer asks first, most often
// one that is running: handing every turn to the first in line woke a
// sleeping thread each time, which takes about as long as a turn lasts,
// and halved the writes a second. Once the first in line has waited
// kLongWait, the turn is handed on in line order, so that no writer waits
// on while later ones keep going first (a lock that let in whoever came
// first had some wait most of a second).
//
// It does no locking of its own: the turn calls it under its lock, with the
// time.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>

namespace platform {

// A writer in line, since `since`; `given` once the turn is handed to it.
struct TurnWaiter {
    std::chrono::steady_clock::time_point since;
    std::condition_variable wake;
    std::atomic<bool> given{false};
};

class TurnLine {
public:
    using Time = std::chrono::steady_clock::time_point;
    static constexpr std::chrono::microseconds kLongWait{1000};

    // Also read without the lock, by a waiter watching for the turn.
    bool Held() const { return held_.load(); }
    std::size_t Waiting() const { return line_.size(); }
    TurnWaiter* First() const { return line_.empty() ? nullptr : line_.front(); }

    // Takes the free turn for `asking`, a writer in line (who leaves it) or
    // null for one not in line; false while the first in line has waited
    // long and is another.
    bool Take(TurnWaiter* asking, Time now);
    void Join(TurnWaiter& waiter) { line_.push_back(&waiter); }
    // A waiter that gave up.
    void Leave(TurnWaiter& waiter);
    // The holder is done: the turn is given to the first in line once it
    // has waited long, else it is free. The waiter to wake: the one given
    // the turn, or the first in line, who may take it; null when none waits.
    TurnWaiter* Release(Time now);

private:
    bool FirstWaitedLong(Time now) const { return !line_.empty() && now - line_.front()->since >= kLongWait; }

    std::atomic<bool> held_{false};
    std::deque<TurnWaiter*> line_;  // oldest first
};

}  // namespace platform
