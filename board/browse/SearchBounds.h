#pragma once
// What one search may cost. A search reads as many posts as its choices
// ask for: ten short words, each in no index, read every subject and
// message ten times over. Each list runs within the time budget of the
// setting `SearchMilliseconds`, and a client address runs at most
// kSearchesPerAddress searches at once; beyond either the page says so at
// once and names what narrows a search.
#include <cstddef>
#include <functional>

#include "core/RunningActs.h"
#include "core/Tarnbell.h"

namespace board {

inline constexpr std::size_t kSearchesPerAddress = 2;

// The searches running now, by client address.
core::RunningActs& RunningSearches();

// Runs `search`, which writes a list from p's connection, within those
// bounds; refuses the page when it goes beyond them.
void RunBoundedSearch(core::Tarnbell& page, core::Page& p, const std::function<void()>& search);

}  // namespace board
