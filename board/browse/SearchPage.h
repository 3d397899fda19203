#pragma once
// The two halves of search.asp, written by Tarnbell::Search.
#include <optional>
#include <string>

#include "core/Tarnbell.h"

namespace core {

// The board header of either half: `ubbHeader` in the UBB style, the club
// header in the CLUB style, nothing otherwise.
void WriteSearchHeader(Tarnbell& page, const std::string& ubbHeader);

// The search form, with the public forums and the archives to choose from.
void WriteSearchForm(Tarnbell& page, Page& p);

// One page of a list. `statement` starts a new list (and is stored in the
// session); without it the session's stored list is paged.
void WriteSearchResults(Tarnbell& page, Page& p, std::optional<std::string> statement);

}  // namespace core
