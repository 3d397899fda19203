#pragma once
// Who acted lately, kept per board rather than per session: a new session
// (every login starts one) must not reset a limit. Each kind of act has its
// own table, an application value of (who, when, window) rows of a fixed
// number, so that a flood of names or addresses cannot grow it; when it is
// full, new acts are refused: an act still inside its window is never
// forgotten.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace platform {
class Application;
}

namespace core {

// Rows of one table.
inline constexpr std::size_t kRecentActsCapacity = 1000;

struct ActTable {
    const char* name;  // the application value holding the rows
    std::size_t capacity = kRecentActsCapacity;
};

// One act of `who`, limited to `perWindow` acts within `windowSeconds`
// seconds back (or less); a negative window limits nothing.
struct Act {
    std::string who;
    long windowSeconds;
    std::size_t perWindow = 1;
};

// Acts one client address may have within a window meant for one visitor:
// the members behind an office, a school, a carrier or a proxy share it, and
// must not be refused for each other.
inline constexpr std::size_t kActsPerAddress = 5;

// The act of the client at `address`, counted by its limit key.
Act AddressAct(std::string_view address, long windowSeconds, std::size_t perWindow = kActsPerAddress);

// What MayActNow found. Only Recorded records anything.
struct ActAnswer {
    enum Outcome { Recorded, OverLimit, TableFull } outcome;
    std::size_t act = 0;  // with OverLimit: the first of the acts over its limit
    explicit operator bool() const { return outcome == Recorded; }
};

// Records every act of `acts` at once, now, when none of them is over its
// limit and the table has room for them all; else records none. The time is
// read as the table is, so that no act counts one recorded after it.
ActAnswer MayActNow(platform::Application& app, const ActTable& table, const std::vector<Act>& acts);

}  // namespace core
