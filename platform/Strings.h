#pragma once
// String functions on UTF-8 text that count characters, not bytes.
// Positions are 1-based as the pages use them; 0 means "not found".
#include <string>
#include <string_view>
#include <vector>

namespace platform {

enum class Compare { Binary, Text };  // Text: ignoring letter case

std::size_t Len(std::string_view s);
std::string Left(std::string_view s, std::size_t n);
std::string Right(std::string_view s, std::size_t n);
// Start 0 raises error 5 (invalid procedure call), as in the runtime; so does
// an InStr start of 0.
std::string Mid(std::string_view s, std::size_t start);                  // to the end
std::string Mid(std::string_view s, std::size_t start, std::size_t len);
// Find `what` in `s` from character position `start`.
std::size_t InStr(std::string_view s, std::string_view what, Compare cmp = Compare::Binary,
                  std::size_t start = 1);
// Last occurrence, searching backwards.
std::size_t InStrRev(std::string_view s, std::string_view what, Compare cmp = Compare::Binary);
std::string Replace(std::string_view s, std::string_view find, std::string_view with,
                    Compare cmp = Compare::Binary);
// Trims blanks only (not tabs or line feeds).
std::string Trim(std::string_view s);
std::string LTrim(std::string_view s);
std::string RTrim(std::string_view s);
// Letter case of ASCII and other Latin letters; Chinese untouched.
std::string LCase(std::string_view s);
std::string UCase(std::string_view s);
bool EqualsIgnoreCase(std::string_view a, std::string_view b);
// As the runtime: the empty text gives no parts; an empty separator gives the
// whole text as the only part.
std::vector<std::string> Split(std::string_view s, std::string_view separator);
std::string Join(const std::vector<std::string>& parts, std::string_view separator);
std::string Space(std::size_t n);

// UTF-8 helpers.
std::u32string ToUtf32(std::string_view s);  // invalid bytes become U+FFFD
std::string ToUtf8(std::u32string_view s);
void AppendUtf8(std::string& out, char32_t c);
// The character at byte offset `i`, advancing `i` past it; a byte that starts
// no well-formed sequence is read alone as U+FFFD.
char32_t DecodeUtf8(std::string_view s, std::size_t& i);
// Bytes of the well-formed UTF-8 sequence at byte offset i (1 for ASCII), or
// 0 when none starts there: an overlong form, a surrogate, a code beyond
// U+10FFFF, a stray or missing continuation byte.
std::size_t WellFormedUtf8Length(std::string_view s, std::size_t i);
// Whether the text is well-formed UTF-8 by those strict rules.
bool IsValidUtf8(std::string_view text);
// The text with every byte that starts no well-formed sequence replaced by
// U+FFFD, as DecodeUtf8 reads it; valid text comes back unchanged.
std::string ToValidUtf8(std::string_view text);

}  // namespace platform
