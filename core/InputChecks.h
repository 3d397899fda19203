#pragma once
// Checks of request values before they reach SQL or a page.
#include <cstdint>
#include <string>

#include "platform/Variant.h"

namespace core {

// The value's text with every single quote doubled, for use inside a quoted
// SQL literal. Null raises error 94.
platform::Variant SqlQuote(const platform::Variant& value);
// A request value that is numeric and rounds to a 32-bit integer above 0.
bool IsPositiveNumber(const platform::Variant& value);
// The page of a paged list a request asks for: 1 unless a positive number;
// past the last page (also beyond what a page number holds) the last page.
std::int16_t RequestedPage(const platform::Variant& value, std::int16_t pageCount);
// Trims `name` in place; digits, letters and double-byte characters only, at
// most `maxLen` characters (0: no limit).
bool IsValidUserName(std::string& name, const platform::Variant& maxLen);
// False when `ip` is an entry of the RejectiveIP setting.
bool IsIPAllowed(const std::string& ip);
// True when `item` is one of the comma-separated entries of `list`.
bool IsInList(const std::string& list, const std::string& item);

}  // namespace core
