#pragma once
// Local date-times as serial numbers (whole days since 1899-12-30 plus the
// time of day as a fraction), with the text forms the board uses.
#include <ctime>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Variant.h"

namespace platform {

// The local time now, to the second; while a test has set the clock, the
// time it set.
DateTime Now();
// Test hook: Now() answers `now` from every thread until the clock is set
// back to the system's with std::nullopt.
void SetClock(std::optional<DateTime> now);
DateTime MakeDateTime(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);
// Whether the serial, to the second, falls in the years 100 to 9999.
bool IsDateSerialInRange(double serial);

struct DateParts {
    int year, month, day, hour, minute, second;
};
DateParts Parts(DateTime d);

// General format: "yyyy-mm-dd hh:nn:ss" (24-hour, zero-padded), the form
// written into cookies and stored in the database.
std::string FormatGeneral(DateTime d);
std::string FormatDate(DateTime d);  // "yyyy-mm-dd"
std::string FormatTime(DateTime d);  // "hh:nn:ss"
// The server's long date form: "2001年3月5日".
std::string FormatLongDate(DateTime d);

// Reads "yyyy-mm-dd[ hh:nn[:ss]]" and unpadded forms such as
// "2001-3-5 9:07:30"; also "/" as date separator. Nothing else.
std::optional<DateTime> ParseDateTime(std::string_view text);
bool IsDate(const Variant& v);

// Counting boundaries between two times, as the scripting runtime's date
// difference does: minutes crossed from a to b (negative when b is earlier).
long long MinutesBetween(DateTime a, DateTime b);
long long SecondsBetween(DateTime a, DateTime b);
long long DaysBetween(DateTime a, DateTime b);
DateTime AddDays(DateTime d, double days);
DateTime AddSeconds(DateTime d, long long seconds);

// Dates of internet headers: "Tue, 05 Mar 2001 01:07:30 GMT" for HTTP, or
// the local time with its offset ("... 09:07:30 +0800") for mail.
enum class HeaderZone { Gmt, LocalWithOffset };
std::string HeaderDate(std::time_t when, HeaderZone zone);

}  // namespace platform
