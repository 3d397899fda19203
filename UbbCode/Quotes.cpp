#include "UbbCode/Quotes.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "UbbCode/TextSearch.h"

namespace markup {

namespace {

constexpr std::string_view kOpen = "[quote]";
constexpr std::string_view kClose = "[/quote]";
constexpr std::string_view kOpenHtml = " <BLOCKQUOTE>引用:<HR>";
constexpr std::string_view kCloseHtml = "<HR></BLOCKQUOTE> ";

struct Pair {
    std::size_t open, close;
};

// The pairs as a stack matches them left to right: a close takes the
// nearest open not yet closed. `opens` keeps the opens left unclosed.
std::vector<Pair> pairsOf(std::string_view text, std::vector<std::size_t>& opens) {
    std::vector<Pair> pairs;
    for (std::size_t at = text.find('['); at != std::string_view::npos; at = text.find('[', at + 1)) {
        const std::string_view rest = text.substr(at);
        if (startsWithNoCase(rest, kOpen)) {
            opens.push_back(at);
        } else if (startsWithNoCase(rest, kClose) && !opens.empty()) {
            pairs.push_back({opens.back(), at});
            opens.pop_back();
        }
    }
    return pairs;
}

}  // namespace

// Converting one pair at a time (the last open with the first close after
// it) gives exactly the stack's pairs, so all of them are written in one
// pass. Opens are taken from the last back, and the first one without a
// close or with an empty pair ends that: only pairs opened after it convert.
std::string convertQuotes(std::string_view text) {
    std::vector<std::size_t> unclosed;
    const std::vector<Pair> pairs = pairsOf(text, unclosed);
    std::size_t convertFrom = unclosed.empty() ? 0 : unclosed.back() + 1;  // opens before this stay text
    for (const Pair& p : pairs) {
        if (p.close == p.open + kOpen.size()) convertFrom = std::max(convertFrom, p.open + 1);
    }
    // Each converted pair's open and close, in text order.
    std::vector<std::pair<std::size_t, bool>> marks;  // offset, is open
    for (const Pair& p : pairs) {
        if (p.open < convertFrom) continue;
        marks.push_back({p.open, true});
        marks.push_back({p.close, false});
    }
    if (marks.empty()) return std::string(text);
    std::sort(marks.begin(), marks.end());
    std::string out;
    out.reserve(text.size() + marks.size() / 2 * (kOpenHtml.size() + kCloseHtml.size()));
    std::size_t copied = 0;
    for (const auto& [at, isOpen] : marks) {
        out.append(text, copied, at - copied);
        out.append(isOpen ? kOpenHtml : kCloseHtml);
        copied = at + (isOpen ? kOpen.size() : kClose.size());
    }
    out.append(text, copied);
    return out;
}

}  // namespace markup
