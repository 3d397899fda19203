#include "board/browse/SearchQuery.h"

#include <cstdint>

#include "core/Module1.h"
#include "core/PublicForum.h"
#include "platform/Convert.h"
#include "platform/DateTime.h"
#include "platform/Error.h"
#include "platform/Strings.h"

namespace board {

namespace {

// Posts of forums that are not private. The cross join (an inner join that
// keeps post as the outer loop) lets a count scan post in storage order and a
// page walk the posttime index, instead of visiting post forum by forum.
const std::string kPostRows =
    std::string("SELECT 0 as isarchive,(CASE WHEN parentid IS NULL THEN postid ELSE parentid END) AS id, username, "
                " posttime As lastlytime, subject, post.forumname "
                " From post cross join forum on post.forumname=forum.forumname where ") +
    core::kPublicForumSql + " ";
// Archived posts; archivelist is named post so that the condition applies.
const char* const kArchiveRows =
    " SELECT 1 as isarchive,(CASE WHEN parentid IS NULL THEN postid ELSE parentid END) AS id, username, "
    " posttime AS lastlytime, subject, archive.archivename as forumname "
    " FROM archivelist as post INNER JOIN archive ON archive.archiveid = post.archiveid ";
// The two sides never share a row (isarchive differs), so no duplicates
// need removing, and a page can be read from the posttime index.
const char* const kUnion = " Union all ";
const char* const kNewestFirst = " ORDER BY lastlytime DESC ";

std::string Lower(const platform::Variant& v) { return platform::LCase(v.str()); }
std::string Quoted(const std::string& text) { return core::SqlQuote(platform::Variant(text)).str(); }

struct Condition {
    std::string text;
    bool archive = false;
    // A piece takes its first form while the condition is still empty.
    void add(const std::string& first, const std::string& joined) { text += text.empty() ? first : joined; }
};

void AddWords(Condition& c, const SearchChoices& choices) {
    const std::string words = Quoted(Lower(choices.terms));
    if (words.empty()) return;
    const bool inMessages = Lower(choices.searchIn) == "all";
    if (Lower(choices.booleanAnd) != "no") {
        // All words: the whole text, blanks included, is one pattern.
        c.add(inMessages ? " (subject like '%" + words + "%' or message like '%" + words + "%')"
                         : " ( subject like '%" + words + "%')",
              "");
        return;
    }
    for (const std::string& w : platform::Split(words, " ")) {
        if (inMessages)
            c.add(" (subject like '%" + w + "%' or message like '%" + w + "%')",
                  " or  (subject like '%" + w + "%' or message like '%" + w + "%')");
        else
            c.add(" ( subject like '%" + w + "%')", " or  (subject like '%" + w + "%')");
    }
    c.text = "(" + c.text + ")";
}

void AddForumOrArchive(Condition& c, const SearchChoices& choices) {
    const std::string forum = Lower(choices.forumChoice);
    if (forum == "all") return;
    if (platform::Left(forum, 8) == "archive_") {
        const platform::Variant id(platform::Mid(forum, 9));
        if (!core::IsPositiveNumber(id)) platform::raise(platform::kErrTypeMismatch);
        const std::string number = std::to_string(platform::CLng(id));
        c.archive = true;
        c.add(" post.archiveid=" + number, " and  post.archiveid=" + number);
    } else {
        c.archive = false;
        const std::string name = Quoted(forum);
        c.add(" post.forumname='" + name + "'", " and post.forumname='" + name + "'");
    }
}

void AddAuthor(Condition& c, const SearchChoices& choices) {
    const std::string user = core::SqlQuote(choices.searchUser).str();
    if (user.empty()) return;
    if (Lower(choices.exactName) == "yes")
        c.add(" username='" + user + "'", " and username='" + user + "'");
    else
        c.add("  username like '%" + user + "%'", " and username like '%" + user + "%'");
}

void AddDateWindow(Condition& c, const SearchChoices& choices, platform::DateTime now) {
    const std::string days = Lower(choices.searchDate);
    if (days == "all") return;
    const std::int16_t n = platform::CInt(platform::Variant(days));
    if (n == INT16_MIN) platform::raise(platform::kErrOverflow);  // its negation has no 16-bit form
    const std::string cutoff = platform::FormatGeneral(platform::AddDays(now, -n));
    c.add(" (posttime>='" + cutoff + "')", " and   (posttime>='" + cutoff + "')");
}

Condition BuildCondition(const SearchChoices& choices, platform::DateTime now) {
    Condition c;
    AddWords(c, choices);
    AddForumOrArchive(c, choices);
    AddAuthor(c, choices);
    AddDateWindow(c, choices, now);
    return c;
}

}  // namespace

std::string SearchCondition(const SearchChoices& choices, platform::DateTime now) {
    return BuildCondition(choices, now).text;
}

std::string SimpleSearchStatement(const SearchChoices& choices, platform::DateTime now) {
    const Condition c = BuildCondition(choices, now);
    if (c.text.empty()) return kPostRows + kUnion + kArchiveRows + kNewestFirst;
    if (c.archive) return std::string(kArchiveRows) + "where " + c.text + kNewestFirst;
    if (Lower(choices.forumChoice) == "all")
        return kPostRows + " and " + c.text + kUnion + kArchiveRows + "where " + c.text + kNewestFirst;
    // One forum: newest first as well, so that pages follow one another.
    return kPostRows + " and " + c.text + kNewestFirst;
}

std::string DailyTopicsStatement(platform::DateTime now) {
    const platform::DateParts d = platform::Parts(now);
    const platform::DateTime dayStart = platform::MakeDateTime(d.year, d.month, d.day);
    // The day as a range of the stored "yyyy-mm-dd hh:nn:ss" texts; forum by
    // forum (cross join: forum first), the topic-list index then yields
    // exactly the day's topics.
    return "select 0 as isarchive,postid as id,username,lastreplyposttime as lastlytime,subject,post.forumname "
           "from forum cross join post on post.forumname=forum.forumname  where parentid is null and "
           " lastreplyposttime>='" + platform::FormatGeneral(dayStart) +
           "' and lastreplyposttime<'" + platform::FormatGeneral(platform::AddDays(dayStart, 1)) +
           "'    and " + core::kPublicForumSql + " order by lastreplyposttime desc";
}

std::string UserPostsStatement(const platform::Variant& username) {
    return "select 0 as isarchive,username,subject,post.ForumName,posttime as lastlytime,"
           "case when parentid is null then postid else parentid end  as id "
           "from post inner join forum on post.forumname=forum.forumname where username='" +
           core::SqlQuote(username).str() + "' and " + core::kPublicForumSql + " order by posttime desc";
}

}  // namespace board
