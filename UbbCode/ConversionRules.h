#pragma once
// The pattern rules of the converter, in the order they are applied.
#include <string>
#include <string_view>
#include <vector>

namespace markup {

struct Rule {
    // Text the rule cannot match without (letter case ignored); the rule is
    // skipped when the text lacks it.
    std::string_view needle;
    std::string pattern;
    // Group references "$n" expanded; "{ImagesURL}" stands for the property.
    std::string replacement;
    // Group holding an address that must pass isAllowedAddress, or 0.
    int addressGroup = 0;
    // The closing tag every match ends with (letter case ignored), or "".
    std::string_view close = {};
};

// Bare http, ftp and www addresses, linked while line breaks still stand.
const std::vector<Rule>& bareLinkRules();
// Collapsing runs of line feeds and carriage returns.
const std::vector<Rule>& limitReturnRules();
// Collapsing runs of paragraph marks and breaks.
const std::vector<Rule>& breakRunRules();
// The tag rules up to the image rule, then those after the quote step.
const std::vector<Rule>& tagRulesBeforeQuotes();
const std::vector<Rule>& tagRulesAfterQuotes();
// Tabs and double blanks, replaced as plain text, left to right.
struct Spacing {
    std::string_view find, with;
};
inline constexpr Spacing kSpacing[] = {{"\t", "&nbsp;&nbsp;&nbsp;&nbsp;"}, {"  ", "&nbsp;&nbsp;"}};

}  // namespace markup
