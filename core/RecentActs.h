#pragma once
// Who acted lately, kept per board rather than per session: a new session
// (every login starts one) must not reset a limit. Each kind of act has its
// own table, an application value of (who, when) rows of a fixed number, so
// that a flood of names or addresses cannot grow it; when it is full, the
// act longest ago is forgotten first.
#include <cstddef>
#include <string>
#include <vector>

#include "platform/DateTime.h"

namespace platform {
class Application;
}

namespace core {

// Rows of one table.
inline constexpr std::size_t kRecentActsCapacity = 1000;

struct ActLimit {
    const char* table;           // the application value holding the rows
    long windowSeconds;          // acts this many seconds back or less count
    std::size_t perWindow = 1;   // acts each one may have in the window
    std::size_t capacity = kRecentActsCapacity;
};

// True, with an act of each of `who` recorded at `now`, when none of them
// has acted `perWindow` times within the window; else false, nothing
// recorded. A negative window counts nothing.
bool MayActNow(platform::Application& app, const ActLimit& limit, const std::vector<std::string>& who,
               platform::DateTime now);

}  // namespace core
