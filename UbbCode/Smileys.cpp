#include "UbbCode/Smileys.h"

#include "UbbCode/TextSearch.h"

namespace markup {

namespace {

// Whether the tag opens ("<a ...>") or closes ("</a>") a link.
void trackLink(std::string_view tag, bool& inLink) {
    bool closing = tag.size() > 1 && tag[1] == '/';
    std::string_view name = tag.substr(closing ? 2 : 1);
    bool isLink = startsWithNoCase(name, "a") &&
                  (name.size() == 1 || name[1] == '>' || name[1] == ' ' || name[1] == '\t');
    if (isLink) inLink = !closing;
}

}  // namespace

std::optional<std::string> replaceSmiley(std::string_view text, std::string_view code,
                                         std::string_view imageTag) {
    if (!containsNoCase(text, code)) return std::nullopt;
    std::string out;
    out.reserve(text.size() + imageTag.size() * 4);
    bool inLink = false;
    bool replaced = false;
    std::size_t i = 0;  // text[0, i) is in out
    while (i < text.size()) {
        std::size_t tagStart = text.find('<', i);
        std::string_view plain = text.substr(0, tagStart == std::string_view::npos ? text.size() : tagStart);
        for (std::size_t hit; !inLink && (hit = findNoCase(plain, code, i)) != kNotFound;) {
            out.append(text.substr(i, hit - i));
            out += imageTag;
            i = hit + code.size();
            replaced = true;
        }
        out.append(plain.substr(i));
        if (tagStart == std::string_view::npos) break;
        std::size_t close = text.find('>', tagStart);
        std::size_t end = close == std::string_view::npos ? text.size() : close + 1;
        std::string_view tag = text.substr(tagStart, end - tagStart);
        trackLink(tag, inLink);
        out.append(tag);
        i = end;
    }
    if (!replaced) return std::nullopt;
    return out;
}

}  // namespace markup
