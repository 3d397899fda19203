// Display forms of post times, shortened texts and masked addresses.
#include <string>

#include "core/Formatting.h"
#include "core/Settings.h"
#include "platform/Convert.h"
#include "platform/DateTime.h"
#include "platform/Error.h"
#include "platform/Strings.h"

namespace core {

using platform::Variant;

Variant FormatPostTime(const Variant& t) {
    platform::DateTime d = platform::CDate(t);
    return Variant(platform::FormatDate(d) + " <FONT COLOR=" + CurrentSettings().TimeColor + ">" +
                   platform::FormatTime(d) + "</font>");
}

Variant FormatLastPostTime(const Variant& t) {
    platform::DateTime d = platform::CDate(t);
    return Variant("<font class=lastlyposttime>" + platform::FormatDate(d) +
                   "</font>&nbsp;<FONT class=lastlyposttime COLOR=" + CurrentSettings().TimeColor +
                   ">" + platform::FormatTime(d) + "</font>");
}

std::int32_t CountOrZero(const Variant& v) { return v.isNull() ? 0 : platform::CLng(v); }

std::string TruncateText(const std::string& text, std::int16_t n) {
    if (n < 0) platform::raise(platform::kErrInvalidCall);
    if (platform::Len(text) <= static_cast<std::size_t>(n)) return text;
    return platform::Left(text, static_cast<std::size_t>(n)) + "......";
}

namespace {

// Everything up to and including the last `separator`, then "*".
std::string maskAfterLast(const std::string& ip, char separator) {
    return ip.substr(0, ip.rfind(separator) + 1) + "*";
}

}  // namespace

Variant MaskIP(const std::string& ip) {
    if (ip.find('.') != std::string::npos) return Variant(maskAfterLast(ip, '.'));
    if (ip.find(':') != std::string::npos) return Variant(maskAfterLast(ip, ':'));  // IPv6
    return Variant(ip);
}

}  // namespace core
