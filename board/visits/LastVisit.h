#pragma once
// The visit's last-visit time, which the board home and the topic list keep
// in the cookie `sessionLoginDT`: posts later than it are marked new. When
// no cookie gives a date-time it is the current time as text, and nothing
// counts as new on that page.
#include <string>
#include <string_view>

#include "platform/Request.h"
#include "platform/Response.h"
#include "platform/Variant.h"

namespace board {

struct LastVisit {
    platform::Variant time;   // a Date read from a cookie, or the now text
    bool fromCookie = false;

    // Strictly later than the last visit; never for a Null time or when
    // the time is the now text.
    bool IsNewer(const platform::Variant& postTime) const;
};

// The current date-time as the board writes it into cookies.
std::string NowText();

// Sets a cookie that lives until a year from today.
void SetYearCookie(platform::Response& response, std::string_view name, const std::string& value);
// Empties a cookie and dates it a year back, so that the browser drops it.
void DeleteCookie(platform::Response& response, std::string_view name);

// The last-visit time from `sessionLoginDT`: a cookie that reads as a
// date-time gives it; one that does not gives the now text and is left as
// it is; a missing (or empty) cookie gives the now text, which is then
// stored in the cookie.
LastVisit ReadSessionLoginDT(const platform::Request& request, platform::Response& response);

}  // namespace board
