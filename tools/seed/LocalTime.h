#pragma once
// Times of a seeded board: seconds since the epoch, stored as local-time
// text "yyyy-mm-dd hh:nn:ss" as the board stores every date.
#include <string>

namespace boardseed {

using Seconds = long long;
constexpr Seconds kMinute = 60;
constexpr Seconds kHour = 60 * kMinute;
constexpr Seconds kDay = 24 * kHour;

std::string LocalTimeText(Seconds t);
// The day of `t` with no time of day ("yyyy-mm-dd 00:00:00"), as dates
// without a time are stored.
std::string LocalDateText(Seconds t);
// Local midnight at the start of the day of `t`.
Seconds StartOfDay(Seconds t);

}  // namespace boardseed
