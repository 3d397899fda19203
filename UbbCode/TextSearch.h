#pragma once
// Substring search that ignores the letter case of ASCII letters, on byte
// positions, and replacement of ASCII pieces. Tag names, smiley codes and
// line breaks are ASCII, and an ASCII byte is never part of a longer UTF-8
// character, so bytes serve.
#include <string>
#include <string_view>

namespace markup {

inline constexpr std::size_t kNotFound = std::string_view::npos;

std::size_t findNoCase(std::string_view text, std::string_view needle, std::size_t from = 0);
std::size_t rfindNoCase(std::string_view text, std::string_view needle);
bool containsNoCase(std::string_view text, std::string_view needle);
bool startsWithNoCase(std::string_view text, std::string_view prefix);
// Every occurrence of `find` (exact case), left to right.
std::string replaceAll(std::string_view text, std::string_view find, std::string_view with);

}  // namespace markup
