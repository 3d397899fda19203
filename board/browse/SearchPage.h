#pragma once
// The two halves of search.asp, written by BrowsePages::Search.
#include <string>

#include "board/browse/BrowsePages.h"
#include "board/browse/SearchQuery.h"
#include "platform/Session.h"

namespace board {

// The search form, with the public forums and the archives to choose from.
void WriteSearchForm(core::Tarnbell& page, core::Page& p);

// One page of a new list, which the session then keeps, with the count of
// its rows, in place of the last one.
void WriteSearchResults(core::Tarnbell& page, core::Page& p, const SearchList& list);

// Another page of the list the session keeps; false when it keeps none (a
// new or expired session).
bool WriteKeptSearchResults(core::Tarnbell& page, core::Page& p);

void ForgetSearch(platform::Session& session);

}  // namespace board
