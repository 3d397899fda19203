#include "board/browse/SearchQuery.h"

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <vector>

#include "board/search/SearchIndex.h"
#include "core/ArchiveAccess.h"
#include "core/ForumNames.h"
#include "core/Module1.h"
#include "core/PublicForum.h"
#include "platform/Convert.h"
#include "platform/DateTime.h"
#include "platform/Error.h"
#include "platform/Recordset.h"
#include "platform/SqliteSqlText.h"
#include "platform/Strings.h"

namespace board {

namespace {

// Posts of forums that are not private. The cross join (an inner join that
// keeps post as the outer loop) lets a count scan post in storage order and a
// page walk the posttime index, instead of visiting post forum by forum.
std::string PostRows() {
    const std::string forum = core::CurrentForumName("post.forumname");
    return "SELECT 0 as isarchive,(CASE WHEN parentid IS NULL THEN postid ELSE parentid END) AS id, username, "
           " posttime As lastlytime, subject, " + forum + " as forumname, 0 as archiveid "
           " From post cross join forum on forum.forumname=" + forum + " where " + core::kPublicForumSql + " ";
}
// Archived posts of the forums every visitor may read, as with the live
// posts; archivelist is named post so that the condition applies.
const std::string kArchiveRows =
    " SELECT 1 as isarchive,(CASE WHEN parentid IS NULL THEN postid ELSE parentid END) AS id, username, "
    " posttime AS lastlytime, subject, archive.archivename as forumname, post.archiveid "
    " FROM archivelist as post INNER JOIN archive ON archive.archiveid = post.archiveid where " +
    core::ArchivedTopicVisibleSql("post", {}).sql + " ";
// The two sides never share a row (isarchive differs), so no duplicates
// need removing, and a page can be read from the posttime index.
const char* const kUnion = " Union all ";
const char* const kNewestFirst = " ORDER BY lastlytime DESC ";

std::string Lower(const platform::Variant& v) { return platform::LCase(v.str()); }
platform::Variant Containing(const std::string& text) { return platform::Variant("%" + text + "%"); }

struct Condition {
    std::string text;
    platform::SqlParams params;
    bool archive = false;
    std::string forum;         // the one forum chosen (lower case); empty for all or an archive
    bool authorOrDate = false;  // an author or a date window narrows it too
    std::optional<std::string> indexQuery;  // the posts that may hold the words
    bool indexIsExact = false;              // ... and exactly those that hold them
    // A piece takes its first form while the condition is still empty.
    void add(const std::string& first, const std::string& joined, std::initializer_list<platform::Variant> values) {
        text += text.empty() ? first : joined;
        params.insert(params.end(), values);
    }
};

// The words, split at every blank. Any word: an empty one (two blanks
// side by side, a blank at an end) matches every post, as always, and one
// such pass is enough however many blanks there are. All words: each word
// that is not empty must appear, in any order.
std::vector<std::string> Words(const std::string& terms, bool anyWord) {
    std::vector<std::string> words = platform::Split(terms, " ");
    const auto firstEmpty = std::find(words.begin(), words.end(), "");
    if (firstEmpty != words.end()) words.erase(std::remove(firstEmpty + 1, words.end(), ""), words.end());
    if (!anyWord) std::erase(words, "");
    return words;
}

void AddWords(Condition& c, const SearchChoices& choices) {
    const bool inMessages = Lower(choices.searchIn) == "all";
    const bool anyWord = Lower(choices.booleanAnd) == "no";
    const std::string terms = Lower(choices.terms);
    const std::vector<std::string> patterns = terms.empty() ? std::vector<std::string>{} : Words(terms, anyWord);
    if (patterns.empty()) return;
    c.indexQuery = SearchIndexQuery(patterns, anyWord, !inMessages);
    c.indexIsExact = c.indexQuery && SearchIndexIsExact(patterns);
    const std::string joined = anyWord ? " or " : " and ";
    for (const std::string& w : patterns) {
        if (inMessages)
            c.add(" (subject like ? or message like ?)", joined + " (subject like ? or message like ?)",
                  {Containing(w), Containing(w)});
        else
            c.add(" ( subject like ?)", joined + " (subject like ?)", {Containing(w)});
    }
    c.text = "(" + c.text + ")";
}

// `forumColumn` is the post's forum as the condition reads it: "+" before
// the column keeps SQLite from reading the forum's posts by the forum index.
// While a rename runs, the forum joined to the post names it.
void AddForumOrArchive(Condition& c, const SearchChoices& choices, const std::string& postsForumColumn) {
    const std::string forumColumn = core::ForumRenamesRunning() ? "forum.forumname" : postsForumColumn;
    const std::string forum = Lower(choices.forumChoice);
    // None chosen: all, the form's first choice (no forum has an empty name).
    if (forum == "all" || forum.empty()) return;
    if (platform::Left(forum, 8) == "archive_") {
        const platform::Variant id(platform::Mid(forum, 9));
        if (!core::IsPositiveNumber(id)) platform::raise(platform::kErrTypeMismatch);
        c.archive = true;
        c.add(" post.archiveid=?", " and  post.archiveid=?", {platform::CLng(id)});
    } else {
        c.archive = false;
        c.forum = forum;
        c.add(" " + forumColumn + "=?", " and " + forumColumn + "=?", {platform::Variant(forum)});
    }
}

void AddAuthor(Condition& c, const SearchChoices& choices) {
    const std::string user = choices.searchUser.str();
    if (user.empty()) return;
    c.authorOrDate = true;
    if (Lower(choices.exactName) == "yes")
        c.add(" username=?", " and username=?", {platform::Variant(user)});
    else
        c.add("  username like ?", " and username like ?", {Containing(user)});
}

void AddDateWindow(Condition& c, const SearchChoices& choices, platform::DateTime now) {
    const std::string days = Lower(choices.searchDate);
    if (days == "all") return;
    c.authorOrDate = true;
    const std::int16_t n = platform::CInt(platform::Variant(days));
    if (n == INT16_MIN) platform::raise(platform::kErrOverflow);  // its negation has no 16-bit form
    const std::string cutoff = platform::FormatGeneral(platform::AddDays(now, -n));
    c.add(" (posttime>=?)", " and   (posttime>=?)", {platform::Variant(cutoff)});
}

Condition BuildCondition(const SearchChoices& choices, platform::DateTime now,
                         const std::string& forumColumn = "post.forumname") {
    Condition c;
    AddWords(c, choices);
    AddForumOrArchive(c, choices, forumColumn);
    AddAuthor(c, choices);
    AddDateWindow(c, choices, now);
    return c;
}

// The index narrows a side of the union to the rows it names, then the
// condition decides. That pays while it names few: a word in a large share
// of the posts is found sooner by reading them in the order of the list.
constexpr long long kMostRowsNarrowed = 30000;

struct IndexedRows {
    std::string counted;    // the rows the index names, up to one past the most narrowed
    const char* condition;  // the side's rows among them
};
const IndexedRows kIndexedPosts = {
    "select count(*) from (select 1 from post_words where post_words match ? limit " +
        std::to_string(kMostRowsNarrowed + 1) + ")",
    " post.postid in (select rowid from post_words where post_words match ?"
    " union all select postid from post_words_pending) and "};
const IndexedRows kIndexedArchives = {
    "select count(*) from (select 1 from archive_words where archive_words match ? limit " +
        std::to_string(kMostRowsNarrowed + 1) + ")",
    " post.rowid in (select rowid from archive_words where archive_words match ?) and "};
// The posts of forum ?2 the index names for query ?1, up to one past the
// most narrowed.
const IndexedRows kIndexedForumPosts = {
    "select count(*) from (select 1 from post where forumname=?2 and postid in "
    "(select rowid from post_words where post_words match ?1) limit " +
        std::to_string(kMostRowsNarrowed + 1) + ")",
    kIndexedPosts.condition};
// A forum's posts, up to one past the most narrowed.
const std::string kForumPostsCounted = "select count(*) from (select 1 from post where forumname=? limit " +
                                       std::to_string(kMostRowsNarrowed + 1) + ")";

struct Side {
    std::string text;
    platform::SqlParams params;
};
platform::SqlParams Joined(platform::SqlParams first, const platform::SqlParams& second) {
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

// `countedToo`: further parameters of the count.
std::optional<Side> NarrowedTo(platform::Connection& con, const Condition& c, const IndexedRows& index,
                               const std::string& indexQuery, const platform::SqlParams& countedToo = {}) {
    const platform::Variant query(indexQuery);
    if (platform::CountOf(con, index.counted, Joined({query}, countedToo)) > kMostRowsNarrowed) return std::nullopt;
    return Side{index.condition + c.text, Joined({query}, c.params)};
}
Side Narrowed(platform::Connection& con, const Condition& c, const IndexedRows& index) {
    if (!c.indexQuery) return {c.text, c.params};
    return NarrowedTo(con, c, index, *c.indexQuery).value_or(Side{c.text, c.params});
}

// One forum's posts: those the index names in the forum while they are
// few; else, in a forum of many posts, newest first by the time index,
// which soon fills a page; else the forum's posts by the forum index.
Side OneForumPosts(platform::Connection& con, const SearchChoices& choices, platform::DateTime now,
                   const Condition& c) {
    if (c.indexQuery)
        if (std::optional<Side> narrowed =
                NarrowedTo(con, c, kIndexedForumPosts, *c.indexQuery, {platform::Variant(c.forum)}))
            return *narrowed;
    if (platform::CountOf(con, kForumPostsCounted, {platform::Variant(c.forum)}) <= kMostRowsNarrowed)
        return {c.text, c.params};
    const Condition byTime = BuildCondition(choices, now, "+post.forumname");
    return {byTime.text, byTime.params};
}

// Of the posts a count reads, those the index names for the query.
const std::string kIndexedPostIds = " and postid in (select rowid from post_words where post_words match ?)";
// The posts the index has not taken yet, which the count reads itself.
const char* const kQueuedPosts = " and post.postid in (select postid from post_words_pending) and ";

// Forum names of posts whose forum is missing or private, compared
// ignoring case: one look in the forum index per name.
const char* const kHiddenForumsOfPosts =
    "with recursive names(name) as (select min(forumname) from post union all "
    "select (select min(forumname) from post where forumname > names.name) from names where names.name is not null) "
    "select name from names where name is not null and not exists "
    "(select 1 from forum where forum.forumname = names.name and ";
// Past this many the query would grow long: the count reads the posts.
constexpr std::size_t kMostHiddenForums = 64;

std::optional<std::vector<std::string>> HiddenForumsOfPosts(platform::Connection& con) {
    std::vector<std::string> names;
    platform::Recordset rs;
    rs.Open(kHiddenForumsOfPosts + std::string(core::kPublicForumSql) + ")", con);
    for (; !rs.Eof(); rs.MoveNext()) {
        if (names.size() == kMostHiddenForums) return std::nullopt;
        names.push_back(rs.Fields(0).str());
    }
    return names;
}

// The number of rows of a search without reading every post: with no
// condition, from the forum index; for words, in the search index: the
// indexed posts of the forums it shows that hold the words, the queued
// posts read with LIKE, and the archived posts as the list finds them. The
// latter only for words the index finds exactly, in one forum or all,
// without an author or a date window; otherwise nullopt.
std::optional<SqlStatement> QuickCountStatement(platform::Connection& con, const SearchChoices& choices,
                                                platform::DateTime now) {
    const Condition c = BuildCondition(choices, now);
    if (c.text.empty()) {
        // Every post of the public forums: forum by forum in the forum index.
        return SqlStatement{"select (select count(*) from forum cross join post on " +
                                core::ForumPostsCondition("post.forumname", "forum.forumname") + " where " +
                                std::string(core::kPublicForumSql) + ") + (select count(*) from (" +
                                kArchiveRows + "))",
                            {}};
    }
    if (!c.indexIsExact || c.archive || c.authorOrDate) return std::nullopt;
    if (core::ForumRenamesRunning()) return std::nullopt;  // some posts are under a name with no forum
    const std::string queued = "(select count(*) from (" + PostRows() + kQueuedPosts + c.text + "))";
    if (!c.forum.empty()) {
        // The forum's posts, when the forum stands and is public.
        return SqlStatement{"select (select count(*) from post where forumname = ?" + kIndexedPostIds +
                                " and exists (select 1 from forum where forumname = ? and " +
                                std::string(core::kPublicForumSql) + ")) + " + queued,
                            Joined({platform::Variant(c.forum), platform::Variant(*c.indexQuery),
                                    platform::Variant(c.forum)},
                                   c.params)};
    }
    const std::optional<std::vector<std::string>> hidden = HiddenForumsOfPosts(con);
    if (!hidden) return std::nullopt;
    const Side archives = Narrowed(con, c, kIndexedArchives);
    // The indexed posts that hold the words, but those of hidden forums.
    std::string indexed = "(select count(*) from post_words where post_words match ?)";
    platform::SqlParams params = {platform::Variant(*c.indexQuery)};
    if (!hidden->empty()) {
        std::string marks;
        for (const std::string& name : *hidden) {
            marks += marks.empty() ? "?" : ",?";
            params.push_back(platform::Variant(name));
        }
        indexed += " - (select count(*) from post where forumname in (" + marks + ")" + kIndexedPostIds + ")";
        params.push_back(platform::Variant(*c.indexQuery));
    }
    return SqlStatement{"select " + indexed + " + " + queued + " + (select count(*) from (" + kArchiveRows +
                            " and " + archives.text + "))",
                        Joined(Joined(params, c.params), archives.params)};
}

bool TooLong(const platform::Variant& value, std::size_t length) { return platform::Len(value.str()) > length; }

}  // namespace

std::string SearchRefusal(const SearchList& list) {
    const std::string tooLong = "参数错误";
    if (list.kind == SearchKind::User) return TooLong(list.username, kMaxSearchTextLength) ? tooLong : "";
    if (list.kind != SearchKind::Simple) return "";
    const SearchChoices& c = list.choices;
    // Blanks are no words: blank terms list everything, however many.
    if (TooLong(c.terms, kMaxSearchTextLength) || Words(c.terms.str(), false).size() > kMaxSearchWords)
        return "搜索的关键词太多或太长：最多" + std::to_string(kMaxSearchWords) + "个关键词，共" +
               std::to_string(kMaxSearchTextLength) + "个字符以内。请减少关键词后再搜索！";
    if (TooLong(c.searchUser, kMaxSearchTextLength)) return tooLong;
    for (const SearchField& f : kSearchFields)
        if (TooLong(c.*f.value, kMaxSearchChoiceLength)) return tooLong;
    return "";
}

SqlStatement ListStatement(platform::Connection& con, const SearchList& list) {
    switch (list.kind) {
    case SearchKind::Daily: return DailyTopicsStatement(list.asked);
    case SearchKind::User: return UserPostsStatement(list.username);
    case SearchKind::Simple: break;
    }
    return SimpleSearchStatement(con, list.choices, list.asked);
}

SqlStatement ListCountStatement(platform::Connection& con, const SearchList& list) {
    if (list.kind == SearchKind::Simple)
        if (std::optional<SqlStatement> counted = QuickCountStatement(con, list.choices, list.asked))
            return *counted;
    const SqlStatement rows = ListStatement(con, list);
    return {"SELECT count(*) FROM (" + std::string(platform::WithoutFinalOrderBy(rows.sql)) + ")", rows.params};
}

SqlStatement SimpleSearchStatement(platform::Connection& con, const SearchChoices& choices, platform::DateTime now) {
    const Condition c = BuildCondition(choices, now);
    if (c.text.empty()) return {PostRows() + kUnion + kArchiveRows + kNewestFirst, {}};
    const Side archives = Narrowed(con, c, kIndexedArchives);
    if (c.archive) return {kArchiveRows + " and " + archives.text + kNewestFirst, archives.params};
    if (c.forum.empty()) {
        const Side posts = Narrowed(con, c, kIndexedPosts);
        return {PostRows() + " and " + posts.text + kUnion + kArchiveRows + " and " + archives.text + kNewestFirst,
                Joined(posts.params, archives.params)};
    }
    // One forum: newest first as well, so that pages follow one another.
    const Side forumPosts = OneForumPosts(con, choices, now, c);
    return {PostRows() + " and " + forumPosts.text + kNewestFirst, forumPosts.params};
}

SqlStatement DailyTopicsStatement(platform::DateTime now) {
    const platform::DateParts d = platform::Parts(now);
    const platform::DateTime dayStart = platform::MakeDateTime(d.year, d.month, d.day);
    // The day as a range of the stored "yyyy-mm-dd hh:nn:ss" texts; forum by
    // forum (cross join: forum first), the topic-list index then yields
    // exactly the day's topics.
    return {"select 0 as isarchive,postid as id,username,lastreplyposttime as lastlytime,subject," +
                core::CurrentForumName("post.forumname") + " as forumname from forum cross join post on " +
                core::ForumPostsCondition("post.forumname", "forum.forumname") +
                "  where parentid is null and lastreplyposttime>=? and lastreplyposttime<?    and " +
                std::string(core::kPublicForumSql) + " order by lastreplyposttime desc",
            {platform::Variant(platform::FormatGeneral(dayStart)),
             platform::Variant(platform::FormatGeneral(platform::AddDays(dayStart, 1)))}};
}

SqlStatement UserPostsStatement(const platform::Variant& username) {
    const std::string forum = core::CurrentForumName("post.forumname");
    return {"select 0 as isarchive,username,subject," + forum + " as ForumName,posttime as lastlytime,"
            "case when parentid is null then postid else parentid end  as id "
            "from post inner join forum on forum.forumname=" + forum + " where username=? and " +
                std::string(core::kPublicForumSql) + " order by posttime desc",
            {platform::Variant(username.str())}};
}

}  // namespace board
