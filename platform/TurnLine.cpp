#include "platform/TurnLine.h"

#include <algorithm>

namespace platform {

bool TurnLine::Take(TurnWaiter* asking, Time now) {
    if (held_ || (First() != asking && FirstWaitedLong(now))) return false;
    held_ = true;
    if (asking) Leave(*asking, now);
    return true;
}

void TurnLine::Join(TurnWaiter& waiter, Time now) {
    waiter.firstSince = now;
    line_.push_back(&waiter);
}

TurnWaiter* TurnLine::Release(Time now) {
    TurnWaiter* first = First();
    if (FirstWaitedLong(now)) {
        first->given = true;
        Leave(*first, now);
    } else {
        held_ = false;
    }
    return first;
}

void TurnLine::Leave(TurnWaiter& waiter, Time now) {
    const bool wasFirst = First() == &waiter;
    line_.erase(std::find(line_.begin(), line_.end(), &waiter));
    if (wasFirst && !line_.empty()) line_.front()->firstSince = now;
}

}  // namespace platform
