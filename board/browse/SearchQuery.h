#pragma once
// The lists of the search page. A list is what the visitor asked and when
// (SearchList); the session keeps that, never SQL, and every page of a list
// builds its statement again with the request values bound as parameters.
// Every statement yields the columns isarchive, id (the topic to open),
// username, lastlytime, subject and forumname; those that list archived
// posts also archiveid (0 for a live post), the archive to open it in.
#include <cstddef>
#include <string>

#include "platform/Connection.h"
#include "platform/DateTime.h"
#include "platform/Variant.h"

namespace board {

// The search form's fields as sent.
struct SearchChoices {
    platform::Variant terms;        // SearchTerms
    platform::Variant booleanAnd;   // "no": any word; else every word, in any order
    platform::Variant forumChoice;  // "all" (or none), a forum name or "archive_" + id
    platform::Variant searchIn;     // "all": subject and message; else subject
    platform::Variant searchDate;   // "all" or a number of days
    platform::Variant searchUser;   // the author or part of the name
    platform::Variant exactName;    // "yes": the whole name
};

// The form's field names and where SearchChoices holds each.
struct SearchField {
    const char* name;
    platform::Variant SearchChoices::*value;
};
inline constexpr SearchField kSearchFields[] = {
    {"SearchTerms", &SearchChoices::terms},         {"BooleanAnd", &SearchChoices::booleanAnd},
    {"ForumChoice", &SearchChoices::forumChoice},   {"SearchIn", &SearchChoices::searchIn},
    {"SearchDate", &SearchChoices::searchDate},     {"SearchUser", &SearchChoices::searchUser},
    {"ExactName", &SearchChoices::exactName},
};

enum class SearchKind { Simple, Daily, User };

struct SearchList {
    SearchKind kind = SearchKind::Simple;
    platform::DateTime asked;    // the end of the date window; the day of Daily
    SearchChoices choices;       // Simple
    platform::Variant username;  // User
};

// What one search may ask. Every word is one more pass over every subject
// and message, and the session keeps the choices while the list is paged.
// The form allows 25 characters; the other choices are short keywords and
// forum names (at most 100 characters).
inline constexpr std::size_t kMaxSearchWords = 10;
inline constexpr std::size_t kMaxSearchTextLength = 50;  // the words, an author's name
inline constexpr std::size_t kMaxSearchChoiceLength = 100;

// Why `list` may not be searched, or "" when it may.
std::string SearchRefusal(const SearchList& list);

struct SqlStatement {
    std::string sql;
    platform::SqlParams params;
};

// The statement of `list` on `con` (which words the search index can
// narrow depends on the posts it holds). Raises a run-time error for a date
// window or an archive id that is not a number.
SqlStatement ListStatement(platform::Connection& con, const SearchList& list);

// The statement that counts the rows of `list` (one number).
SqlStatement ListCountStatement(platform::Connection& con, const SearchList& list);

// Posts of public forums and archived posts matching the form, newest first.
SqlStatement SimpleSearchStatement(platform::Connection& con, const SearchChoices& choices, platform::DateTime now);

// Topics of public forums whose last reply falls on the day of `now`.
SqlStatement DailyTopicsStatement(platform::DateTime now);

// Every post of `username` in public forums, newest first.
SqlStatement UserPostsStatement(const platform::Variant& username);

}  // namespace board
