#include "site/HeaderText.h"

#include <cstdio>
#include <optional>

#include "platform/Charset.h"
#include "platform/DateTime.h"

namespace site {

std::string HttpDate(std::time_t when) { return platform::HeaderDate(when, platform::HeaderZone::Gmt); }

std::string HttpDate(platform::DateTime when) {
    // mktime takes the C library's time-zone lock; a page's cookies mostly
    // share one expiry time, so the last answer is kept.
    thread_local std::optional<platform::DateTime> lastWhen;
    thread_local std::string lastText;
    if (lastWhen == when) return lastText;
    const platform::DateParts p = platform::Parts(when);
    std::tm local{};
    local.tm_year = p.year - 1900;
    local.tm_mon = p.month - 1;
    local.tm_mday = p.day;
    local.tm_hour = p.hour;
    local.tm_min = p.minute;
    local.tm_sec = p.second;
    local.tm_isdst = -1;
    lastText = HttpDate(std::mktime(&local));
    lastWhen = when;
    return lastText;
}

std::string SetCookieText(const platform::ResponseCookie& cookie) {
    std::string text = platform::UrlEncode(cookie.Name) + "=" + platform::UrlEncode(cookie.Value);
    if (cookie.Expires) text += "; expires=" + HttpDate(*cookie.Expires);
    // No script of the board reads its cookies, and no other site's form
    // or frame carries them along.
    return text + "; HttpOnly; SameSite=Lax";
}

std::string LocationText(std::string_view url) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    const std::string bytes = platform::Utf8ToGbk(url);
    std::string out;
    out.reserve(bytes.size());
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x20 || b == 0x7F) continue;
        if (b == ' ' || b >= 0x80) {
            out += '%';
            out += kHex[b >> 4];
            out += kHex[b & 0xF];
        } else {
            out += c;
        }
    }
    return out;
}

}  // namespace site
