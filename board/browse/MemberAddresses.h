#pragma once
// Addresses that members type into their profiles, made safe to link.
#include <string>
#include <string_view>

namespace board {

// The home-page address a member's link may point to, lower-cased: an
// "http://" or "https://" address as it stands, any other text behind
// "http://"; "" (no link) for an empty address or a bare "http://" or
// "http:///".
std::string HomepageAddress(std::string_view stored);

// A non-empty run of ASCII digits: the only ICQ number the page links.
bool IsAllDigits(std::string_view text);

}  // namespace board
