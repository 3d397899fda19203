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
    std::size_t i = 0;
    while (i < text.size()) {
        if (text[i] == '<') {
            std::size_t close = text.find('>', i);
            std::size_t end = close == std::string::npos ? text.size() : close + 1;
            std::string_view tag = text.substr(i, end - i);
            trackLink(tag, inLink);
            out += tag;
            i = end;
        } else if (!inLink && startsWithNoCase(text.substr(i), code)) {
            out += imageTag;
            i += code.size();
            replaced = true;
        } else {
            out += text[i++];
        }
    }
    if (!replaced) return std::nullopt;
    return out;
}

}  // namespace markup
