#pragma once
// Substring search that ignores the letter case of ASCII letters, on byte
// positions. Tag names and smiley codes are ASCII, so this is all they need.
#include <string>
#include <string_view>

namespace markup {

inline constexpr std::size_t kNotFound = std::string_view::npos;

std::size_t findNoCase(std::string_view text, std::string_view needle, std::size_t from = 0);
std::size_t rfindNoCase(std::string_view text, std::string_view needle);
bool containsNoCase(std::string_view text, std::string_view needle);
bool startsWithNoCase(std::string_view text, std::string_view prefix);

}  // namespace markup
