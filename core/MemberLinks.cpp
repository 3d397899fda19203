#include "core/MemberLinks.h"

#include "core/BoardAddress.h"
#include "platform/Charset.h"
#include "platform/Convert.h"
#include "platform/Strings.h"

namespace core {

namespace {

constexpr int kMessageIcons = 14;

bool StartsWithIgnoringCase(std::string_view text, std::string_view start) {
    return text.size() >= start.size() && platform::EqualsIgnoreCase(text.substr(0, start.size()), start);
}

}  // namespace

std::string HomepageAddress(std::string_view stored) {
    if (stored.empty() || platform::EqualsIgnoreCase(stored, "http://") ||
        platform::EqualsIgnoreCase(stored, "http:///"))
        return "";
    if (StartsWithIgnoringCase(stored, "http://") || StartsWithIgnoringCase(stored, "https://"))
        return std::string(stored);
    return "http://" + std::string(stored);
}

std::string MemberPicture(std::string_view path, const std::string& defaultPicture) {
    if (!IsBoardAddress(path)) return defaultPicture;
    return "<img src=" + platform::QuotedAttribute(path) + " vspace=5>";
}

int MessageIcon(const platform::Variant& value) {
    const std::string text = platform::Trim(value.str());
    if (text.empty() || text.size() > 2) return 1;
    for (char c : text)
        if (c < '0' || c > '9') return 1;
    const int n = std::stoi(text);
    return n >= 1 && n <= kMessageIcons ? n : 1;
}

}  // namespace core
