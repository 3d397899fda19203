#pragma once
// Keys of request collections, cookies, session and application values
// ignore letter case: they are compared in a folded form.
#include <string>
#include <string_view>

namespace platform {

// The key in lower case; ASCII is folded directly, other text through LCase.
std::string FoldKey(std::string_view key);
// Whether two keys are equal ignoring letter case.
bool SameKey(std::string_view a, std::string_view b);

}  // namespace platform
