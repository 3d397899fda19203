#pragma once
// Texts of response headers: dates, Set-Cookie lines, Location.
#include <ctime>
#include <string>
#include <string_view>

#include "platform/Response.h"

namespace site {

// "Tue, 02 Jan 2001 03:04:05 GMT"
std::string HttpDate(std::time_t when);
// A local date-time as an HTTP date.
std::string HttpDate(platform::DateTime when);
// "name=value[; expires=...]; HttpOnly; SameSite=Lax", name and value
// escaped as URL text on their GBK bytes, so that the request reads them
// back exactly.
std::string SetCookieText(const platform::ResponseCookie& cookie);
// An address for the Location header: characters beyond ASCII become GBK
// %XX escapes, blanks %20, control characters are dropped.
std::string LocationText(std::string_view url);

}  // namespace site
