#include "site/HeaderText.h"

#include <cstdio>
#include <optional>

#include "platform/Charset.h"
#include "platform/DateTime.h"

namespace site {

std::string HttpDate(std::time_t when) {
    static constexpr const char* kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                              "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    std::tm t{};
    gmtime_r(&when, &t);
    char text[40];
    std::snprintf(text, sizeof text, "%s, %02d %s %04d %02d:%02d:%02d GMT", kDays[t.tm_wday],
                  t.tm_mday, kMonths[t.tm_mon], t.tm_year + 1900, t.tm_hour, t.tm_min, t.tm_sec);
    return text;
}

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
    return text;
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
