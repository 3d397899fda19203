#pragma once
// The statements of the search page's lists. Every list yields the same six
// columns: isarchive, id (the topic to open), username, lastlytime, subject
// and forumname. Request values reach them only quoted (texts) or converted
// (numbers), so a stored statement is always the board's own SQL.
#include <string>

#include "platform/Variant.h"

namespace board {

// The search form's fields as sent.
struct SearchChoices {
    platform::Variant terms;        // SearchTerms
    platform::Variant booleanAnd;   // "no": any word; else all words as one text
    platform::Variant forumChoice;  // "all", a forum name or "archive_" + id
    platform::Variant searchIn;     // "all": subject and message; else subject
    platform::Variant searchDate;   // "all" or a number of days
    platform::Variant searchUser;   // the author or part of the name
    platform::Variant exactName;    // "yes": the whole name
};

// The condition of a simple search, "" when nothing narrows it. Raises a
// run-time error for a date window or an archive id that is not a number.
std::string SearchCondition(const SearchChoices& choices, platform::DateTime now);

// Posts of public forums and archived posts matching the form, newest first.
std::string SimpleSearchStatement(const SearchChoices& choices, platform::DateTime now);

// Topics of public forums whose last reply falls on the day of `now`.
std::string DailyTopicsStatement(platform::DateTime now);

// Every post of `username` in public forums, newest first.
std::string UserPostsStatement(const platform::Variant& username);

}  // namespace board
