#pragma once
// Who has a file's write turn next (WriteTurn). A free turn goes to
// whichever writer asks first, most often one that is running, until the
// first in line has been first for kLongWait: then it is handed the turn.
// Handing every turn to the first in line woke a sleeping thread each time,
// which takes about as long as a turn lasts, and halved the writes a
// second; a lock that let in whoever came first had some wait most of a
// second. This way each writer in line waits at most about kLongWait and a
// turn for each one ahead of it.
//
// It does no locking of its own: the turn calls it under its lock, with the
// time.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>

namespace platform {

// A writer in line, first since `firstSince`; `given` once the turn is
// handed to it.
struct TurnWaiter {
    std::chrono::steady_clock::time_point firstSince;
    std::condition_variable wake;
    std::atomic<bool> given{false};
};

class TurnLine {
public:
    using Time = std::chrono::steady_clock::time_point;
    static constexpr std::chrono::microseconds kLongWait{1000};

    // Also read without the lock, by writers watching for the turn.
    bool Held() const { return held_.load(); }
    std::size_t Waiting() const { return line_.size(); }
    TurnWaiter* First() const { return line_.empty() ? nullptr : line_.front(); }

    // Takes the free turn for `asking`, a writer in line (who leaves it) or
    // null for one not in line; false while the first in line has waited
    // long and is another.
    bool Take(TurnWaiter* asking, Time now);
    void Join(TurnWaiter& waiter, Time now);
    // Out of line, with the turn or without (gave up). The wait of the one
    // behind it counts from when it is first.
    void Leave(TurnWaiter& waiter, Time now);
    // The holder is done: the turn is handed to the first in line when it
    // has waited long, else it is free. The waiter to wake: the one handed
    // the turn, or the first in line, who may take it; null when none waits.
    TurnWaiter* Release(Time now);

private:
    bool FirstWaitedLong(Time now) const { return !line_.empty() && now - line_.front()->firstSince >= kLongWait; }

    std::atomic<bool> held_{false};
    std::deque<TurnWaiter*> line_;  // oldest first
};

}  // namespace platform
