#include "platform/TurnLine.h"

#include <algorithm>

namespace platform {

bool TurnLine::Take(TurnWaiter* asking, Time now) {
    if (held_ || (First() != asking && FirstWaitedLong(now))) return false;
    held_ = true;
    if (asking) Leave(*asking);
    return true;
}

void TurnLine::Leave(TurnWaiter& waiter) { line_.erase(std::find(line_.begin(), line_.end(), &waiter)); }

TurnWaiter* TurnLine::Release(Time now) {
    TurnWaiter* first = First();
    if (FirstWaitedLong(now)) {
        line_.pop_front();
        first->given = true;
    } else {
        held_ = false;
    }
    return first;
}

}  // namespace platform
