#include "UbbCode/TagNeedles.h"

#include <array>
#include <vector>

#include "UbbCode/ConversionRules.h"
#include "UbbCode/TextSearch.h"

namespace markup {

namespace {

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// The distinct needles of the tag rules (each starts with "["), and for
// each character the needles that have it second.
struct NeedleTable {
    std::vector<std::string_view> needles;
    std::array<std::vector<std::size_t>, 256> bySecond;

    NeedleTable() {
        for (const auto* rules : {&tagRulesBeforeQuotes(), &tagRulesAfterQuotes()}) {
            for (const Rule& rule : *rules) {
                if (indexOf(rule.needle) != needles.size()) continue;
                bySecond[static_cast<unsigned char>(lower(rule.needle[1]))].push_back(needles.size());
                needles.push_back(rule.needle);
            }
        }
    }
    std::size_t indexOf(std::string_view needle) const {
        std::size_t i = 0;
        while (i < needles.size() && !(needles[i].size() == needle.size() && startsWithNoCase(needles[i], needle)))
            ++i;
        return i;
    }
};

const NeedleTable& table() {
    static const NeedleTable instance;
    return instance;
}

}  // namespace

TagNeedles::TagNeedles(std::string_view text) {
    const NeedleTable& t = table();
    for (std::size_t at = text.find('['); at != std::string_view::npos && at + 1 < text.size();
         at = text.find('[', at + 1)) {
        for (std::size_t i : t.bySecond[static_cast<unsigned char>(lower(text[at + 1]))]) {
            if (!found_[i] && startsWithNoCase(text.substr(at), t.needles[i])) found_.set(i);
        }
    }
}

bool TagNeedles::contains(std::string_view needle) const {
    const std::size_t i = table().indexOf(needle);
    return i < table().needles.size() && found_[i];
}

}  // namespace markup
