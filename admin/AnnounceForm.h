#pragma once
// The pieces the announcement steps share: the refusal of a stranger, the
// login rows, the date blocks
// (month, day and year of the first or the last day shown) and the reading
// of a posted date block.
#include <string>

#include "platform/Variant.h"

namespace platform {
class Request;
}

namespace admin {

// The refusal of every announcement step to a login that manages no forum.
inline constexpr const char* kUnknownLeader = "对不起，没有发现该用户！";

// The rows "你的用户名：" and "你的密码：" of the two-column announcement forms.
std::string AnnounceIdentityRows(const std::string& name, const std::string& password);

// The date block of `prefix` ("Start" or "End"): the fields prefix+"Month",
// prefix+"Day" and prefix+"Year" under the heads 月, 日, 年. Month and day 0
// mark no option selected.
std::string AnnounceDateBlock(const std::string& prefix, int month, int day, int year);

// The posted date block of `prefix` as a date, when its year, month and day
// are numbers that make a day of the calendar.
bool ReadAnnounceDate(const platform::Request& in, const std::string& prefix, platform::DateTime& date);

}  // namespace admin
