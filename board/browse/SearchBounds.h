#pragma once
// What searches may cost. A search reads as many posts as its choices ask
// for: ten short words, each in no index, read every subject and message
// ten times over. A search runs within the time budget of the setting
// `SearchMilliseconds`, counted from its request; a client address (as
// every per-address limit counts it) runs at most kSearchesPerAddress
// searches at once, and the board a quarter as many as it has cores (at
// least two), so that searches leave the other pages their share of the
// machine: a search beyond them waits for its turn within its budget.
// Past any bound the page says so and, when the search itself took too
// long, names what narrows it.
#include <cstddef>
#include <functional>

#include "core/RunningActs.h"
#include "core/Tarnbell.h"

namespace board {

inline constexpr std::size_t kSearchesPerAddress = 2;

// The searches running or waiting now, by client address.
core::RunningActs& RunningSearches();

// Runs `search`, which writes a list from p's connection, within those
// bounds; refuses the page when it goes beyond them.
void RunBoundedSearch(core::Tarnbell& page, core::Page& p, const std::function<void()>& search);

}  // namespace board
