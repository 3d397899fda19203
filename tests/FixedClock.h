#pragma once
// The board's clock held at a time for one test, and given back to the
// system when the object goes.
//
//   FixedClock clock(platform::MakeDateTime(2001, 3, 5, 9, 7, 30));
//   clock.Advance(21);  // seconds
#include "platform/DateTime.h"

class FixedClock {
public:
    explicit FixedClock(platform::DateTime now) : now_(now) { platform::SetClock(now_); }
    ~FixedClock() { platform::SetClock(std::nullopt); }
    FixedClock(const FixedClock&) = delete;
    FixedClock& operator=(const FixedClock&) = delete;

    void Advance(long long seconds) {
        now_ = platform::AddSeconds(now_, seconds);
        platform::SetClock(now_);
    }

private:
    platform::DateTime now_;
};
