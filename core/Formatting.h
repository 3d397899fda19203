#pragma once
// Times, lengths and addresses as the pages write them.
#include <cstdint>
#include <string>

#include "platform/Variant.h"

namespace core {

// "yyyy-mm-dd <FONT COLOR=TimeColor>hh:nn:ss</font>"
platform::Variant FormatPostTime(const platform::Variant& t);
// The same in the style of "last post" columns.
platform::Variant FormatLastPostTime(const platform::Variant& t);
// The first `n` characters and "......" when `text` is longer than `n`.
std::string TruncateText(const std::string& text, std::int16_t n);
// A count as pages write it: Null as 0.
std::int32_t CountOrZero(const platform::Variant& v);
// The address with its last part replaced by "*".
platform::Variant MaskIP(const std::string& ip);

}  // namespace core
