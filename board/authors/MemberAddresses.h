#pragma once
// Numbers that members type into their profiles, checked before a link.
#include <string>
#include <string_view>

namespace board {

// A non-empty run of ASCII digits: the only ICQ number the page links.
bool IsAllDigits(std::string_view text);

}  // namespace board
