#pragma once
// announce.asp's forms and the pieces its steps share: the refusal of a
// stranger, the login rows, the date blocks (month, day and year of the
// first or the last day shown) and the reading of a posted date block.
#include <string>

#include "core/Visitor.h"
#include "platform/Variant.h"

namespace platform {
class Request;
}

namespace admin::forms {

// The centre's entry: the login and the choice of a new announcement or
// of the list of those the caller may change.
std::string AnnounceLoginForm(const core::Credentials& login);

// The refusal of every announcement step to a login that manages no forum.
inline constexpr const char* kUnknownLeader = "对不起，没有发现该用户！";

// The rows "你的用户名：" and "你的密码：" of the two-column announcement forms.
std::string AnnounceIdentityRows(const core::Credentials& login);

// The date block of `prefix` ("Start" or "End"): the fields prefix+"Month",
// prefix+"Day" and prefix+"Year" under the heads 月, 日, 年. Month and day 0
// mark no option selected.
std::string AnnounceDateBlock(const std::string& prefix, int month, int day, int year);

// The rows of the start and the end date of the new and the edit form.
std::string AnnounceDateRows(int startMonth, int startDay, int startYear, int endMonth, int endDay, int endYear);

// The posted date block of `prefix` as a date, when its year, month and day
// are numbers that make a day of the calendar.
bool ReadAnnounceDate(const platform::Request& in, const std::string& prefix, platform::DateTime& date);

}  // namespace admin::forms
