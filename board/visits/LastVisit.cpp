#include "board/visits/LastVisit.h"

#include <cmath>

#include "platform/Convert.h"
#include "platform/DateTime.h"

namespace board {

bool LastVisit::IsNewer(const platform::Variant& postTime) const {
    if (!fromCookie || postTime.isNull() || postTime.isEmpty()) return false;
    return platform::CDate(postTime) > time.rawDate();
}

std::string NowText() { return platform::FormatGeneral(platform::Now()); }

namespace {

void SetCookieDays(platform::Response& response, std::string_view name, const std::string& value, int days) {
    const platform::DateTime today{std::floor(platform::Now().serial)};
    response.SetCookie(name, value);
    response.CookieExpires(name, platform::AddDays(today, days));
}

}  // namespace

void SetYearCookie(platform::Response& response, std::string_view name, const std::string& value) {
    SetCookieDays(response, name, value, 365);
}

void DeleteCookie(platform::Response& response, std::string_view name) { SetCookieDays(response, name, "", -365); }

LastVisit ReadSessionLoginDT(const platform::Request& request, platform::Response& response) {
    const platform::Variant cookie = request.Cookies("sessionLoginDT");
    if (platform::IsDate(cookie)) return {platform::Variant(platform::CDate(cookie)), true};
    const std::string now = NowText();
    if (cookie.str().empty()) SetYearCookie(response, "sessionLoginDT", now);
    return {platform::Variant(now), false};
}

}  // namespace board
