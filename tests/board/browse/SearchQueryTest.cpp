// The search statements run against a small board: which posts each choice
// of the form finds, and that hostile values cannot widen a search.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "TestDatabase.h"
#include "board/search/SearchIndexQueue.h"
#include "board/browse/SearchQuery.h"
#include "platform/DateTime.h"
#include "platform/Error.h"
#include "platform/Recordset.h"
#include "platform/Strings.h"

namespace {

using board::SearchChoices;
using platform::Variant;
using Subjects = std::vector<std::string>;

const platform::DateTime kNow = platform::MakeDateTime(2024, 5, 10, 12, 0, 0);

class SearchQueryTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto& con = db.con;
        con.Execute("insert into forum (forumname, [restrict]) values ('General', NULL), "
                    "('Tech', 'allreg&allreg'), ('Secret', 'private'), ('Vault', 'Private')");
        Post(1, {}, "General", "alice", "Backup Tips", "use two disks", "2024-05-08 09:00:00");
        Post(2, 1, "General", "bob", "re: backup", "Try 'rsync' daily", "2024-05-10 11:00:00");
        Post(3, {}, "Tech", "Carol", "数据库备份", "每天 备份 一次", "2024-04-30 08:00:00");
        Post(4, {}, "Secret", "alice", "backup secret", "two disks hidden", "2024-05-09 10:00:00");
        // Private too: the rule is read in any letter case.
        Post(6, {}, "Vault", "alice", "backup vault", "two disks locked", "2024-05-10 08:00:00");
        con.Execute("insert into archive (archiveid, archivename) values (7, 'Old')");
        con.Execute("insert into archivelist (archiveid, postid, parentid, forumname, username, subject, message, "
                    "posttime) values (7, 90, NULL, 'General', 'dave', 'old backup', 'archived two disks', "
                    "'2023-01-01 00:00:00')");
    }

    void Post(int id, Variant parent, const char* forum, const char* user, const char* subject,
              const char* message, const char* time) {
        db.con.Execute("insert into post (postid, parentid, forumname, username, subject, message, posttime) "
                       "values (?, ?, ?, ?, ?, ?, ?)",
                       {id, parent, forum, user, subject, message, time});
    }

    // Subjects in the order listed, archived ones marked "A:".
    Subjects Run(const board::SqlStatement& statement) {
        Subjects found;
        platform::Recordset rs;
        rs.Open(statement.sql, db.con, platform::CursorType::Static, statement.params);
        while (!rs.Eof()) {
            const bool archived = rs.Fields("isarchive").toDouble() != 0;
            found.push_back((archived ? "A:" : "") + rs.Fields("subject").str());
            rs.MoveNext();
        }
        return found;
    }

    Subjects Search(SearchChoices c) { return Run(board::SimpleSearchStatement(db.con, c, kNow)); }

    TestDatabase db;
};

// The form's defaults: every field as the form first shows it.
SearchChoices Defaults() {
    SearchChoices c;
    c.terms = "";
    c.booleanAnd = "YES";
    c.forumChoice = "ALL";
    c.searchIn = "ALL";
    c.searchDate = "ALL";
    c.searchUser = "";
    c.exactName = "no";
    return c;
}

TEST_F(SearchQueryTest, FormChoicesFindTheirPosts) {
    struct Case {
        const char* what;
        void (*set)(SearchChoices&);
        Subjects expected;
    };
    const std::vector<Case> cases = {
        {"defaults: every public and archived post, newest first", [](SearchChoices&) {},
         {"re: backup", "Backup Tips", "数据库备份", "A:old backup"}},
        {"one word, any letter case, subject and message", [](SearchChoices& c) { c.terms = "BACKUP"; },
         {"re: backup", "Backup Tips", "A:old backup"}},
        {"Chinese word in the message", [](SearchChoices& c) { c.terms = "一次"; }, {"数据库备份"}},
        {"all words: the phrase as written", [](SearchChoices& c) { c.terms = "two disks"; },
         {"Backup Tips", "A:old backup"}},
        {"all words: in another order", [](SearchChoices& c) { c.terms = "disks two"; },
         {"Backup Tips", "A:old backup"}},
        {"all words: one in the subject, one in the message", [](SearchChoices& c) { c.terms = " tips  disks "; },
         {"Backup Tips"}},
        {"all words: each must appear", [](SearchChoices& c) { c.terms = "disks rsync"; }, {}},
        {"all words in the subject", [](SearchChoices& c) { c.terms = "tips backup"; c.searchIn = "SUBJECT"; },
         {"Backup Tips"}},
        {"all words in the subject, one only in the message",
         [](SearchChoices& c) { c.terms = "backup disks"; c.searchIn = "SUBJECT"; }, {}},
        {"any word", [](SearchChoices& c) { c.terms = "rsync 备份"; c.booleanAnd = "NO"; },
         {"re: backup", "数据库备份"}},
        {"any word with a double blank matches everything",
         [](SearchChoices& c) { c.terms = "zzz  yyy"; c.booleanAnd = "NO"; },
         {"re: backup", "Backup Tips", "数据库备份", "A:old backup"}},
        {"subject only", [](SearchChoices& c) { c.terms = "disks"; c.searchIn = "SUBJECT"; }, {}},
        {"subject only, any word",
         [](SearchChoices& c) { c.terms = "tips 备份"; c.searchIn = "SUBJECT"; c.booleanAnd = "NO"; },
         {"Backup Tips", "数据库备份"}},
        {"one forum, named in another letter case", [](SearchChoices& c) { c.forumChoice = "GENERAL"; },
         {"re: backup", "Backup Tips"}},
        {"no forum chosen: all, as the form's first choice",
         [](SearchChoices& c) { c.forumChoice = Variant(); c.terms = "backup"; },
         {"re: backup", "Backup Tips", "A:old backup"}},
        {"a private forum lists nothing", [](SearchChoices& c) { c.forumChoice = "Secret"; }, {}},
        {"nor does one whose rule has capitals", [](SearchChoices& c) { c.forumChoice = "Vault"; }, {}},
        {"an archive", [](SearchChoices& c) { c.forumChoice = "archive_7"; c.terms = "backup"; },
         {"A:old backup"}},
        {"an archive alone", [](SearchChoices& c) { c.forumChoice = "archive_7"; }, {"A:old backup"}},
        {"author, whole name in any letter case",
         [](SearchChoices& c) { c.searchUser = "CAROL"; c.exactName = "yes"; }, {"数据库备份"}},
        {"author, whole name wanted, part given",
         [](SearchChoices& c) { c.searchUser = "car"; c.exactName = "yes"; }, {}},
        {"author, part of the name", [](SearchChoices& c) { c.searchUser = "a"; },
         {"Backup Tips", "数据库备份", "A:old backup"}},
        {"last day, to the second", [](SearchChoices& c) { c.searchDate = "1"; }, {"re: backup"}},
        {"last five days", [](SearchChoices& c) { c.searchDate = "5"; }, {"re: backup", "Backup Tips"}},
        {"last 30 days, words and author together",
         [](SearchChoices& c) { c.searchDate = "30"; c.terms = "备份"; c.searchUser = "carol"; },
         {"数据库备份"}},
    };
    for (const Case& c : cases) {
        SearchChoices choices = Defaults();
        c.set(choices);
        EXPECT_EQ(Search(choices), c.expected) << c.what;
    }
}

TEST_F(SearchQueryTest, ArchivedPostsOfPrivateForumsStayHidden) {
    // Filed from a private forum (rule in any case), and from a forum that is gone.
    db.con.Execute("insert into archivelist (archiveid, postid, parentid, forumname, subject, posttime) values "
                   "(7, 91, NULL, 'secret', 'old secret', '2023-01-02 00:00:00'), "
                   "(7, 92, 91, 'Vault', 'old vault', '2023-01-03 00:00:00'), "
                   "(7, 93, NULL, 'Gone', 'old gone', '2023-01-04 00:00:00')");
    for (const char* forum : {"ALL", "archive_7"}) {
        SearchChoices c = Defaults();
        c.forumChoice = forum;
        c.terms = "old";
        EXPECT_EQ(Search(c), (Subjects{"A:old gone", "A:old backup"})) << forum;
    }
}

TEST_F(SearchQueryTest, QuotesInEveryFieldStayInsideTheirLiterals) {
    SearchChoices c = Defaults();
    c.terms = "'rsync'";
    EXPECT_EQ(Search(c), Subjects{"re: backup"});

    c = Defaults();
    c.terms = "x' or 'a'='a";
    c.forumChoice = "General' or '1'='1";
    c.searchUser = "' or ''='";
    c.booleanAnd = "NO";
    EXPECT_EQ(Search(c), Subjects{});
    c.exactName = "yes";
    EXPECT_EQ(Search(c), Subjects{});

    // A forum choice that tries to reach the private forum through the quote.
    c = Defaults();
    c.forumChoice = "x' or post.forumname='Secret";
    EXPECT_EQ(Search(c), Subjects{});
    EXPECT_EQ(Run(board::UserPostsStatement(Variant("x' or username='alice"))), Subjects{});
}

TEST_F(SearchQueryTest, ArchiveIdAndDateWindowMustBeNumbers) {
    for (const char* forum : {"archive_7 or 1=1", "archive_7'", "archive_0", "archive_-7", "archive_"}) {
        SearchChoices c = Defaults();
        c.forumChoice = forum;
        EXPECT_THROW(board::SimpleSearchStatement(db.con, c, kNow), platform::RuntimeError) << forum;
    }
    SearchChoices rounded = Defaults();
    rounded.forumChoice = "archive_6.6";  // rounds to 7
    EXPECT_EQ(Search(rounded), Subjects{"A:old backup"});

    for (const char* days : {"1'", "1 or 1=1", "-32768", "40000", ""}) {
        SearchChoices c = Defaults();
        c.searchDate = days;
        EXPECT_THROW(board::SimpleSearchStatement(db.con, c, kNow), platform::RuntimeError) << days;
    }
}

// The index only narrows what LIKE then decides: for every word and every
// way to search, the posts found are those a LIKE over every row finds.
class SearchIndexTest : public SearchQueryTest {
protected:
    void SetUp() override {
        SearchQueryTest::SetUp();
        const char* const texts[][2] = {
            {"BACKUP Plan", "Disks AND tapes"},     {"备份策略", "每天备份数据库，每周整理"},
            {"Ärger mit äpfeln", "ÄPFEL und Äpfel"}, {"全角ＡＢＣ字母", "ａｂｃ"},
            {"表情😀符号", "行尾是备份"},             {"100% sure_thing", "a_b a%b [x]"},
            {"quote \"here\"", "it's 'rsync'"},    {"跨", "栏"},
            {"line\nbreak", nullptr},              {"数据", "库备份"},                    {"bad\xC0\x80x byte", "ok"},
            {"\xFF" "开头的备份", "\xFF" "MARKED notes"},  // malformed, as the index marks a forum
            {"past \xF5\x80\x80\x80x range", "ok"},  // a character beyond Unicode, which LIKE keeps
        };
        int id = 100;
        for (const auto& t : texts)
            Post(id++, {}, "General", "erin", t[0], t[1], "2024-05-01 00:00:00");
        // A forum named in another letter case, and one that is gone.
        Post(140, {}, "GENERAL", "erin", "大写的论坛名", "backup tapes", "2024-05-01 00:00:00");
        Post(141, {}, "Gone", "erin", "没有论坛的备份", "backup tapes", "2024-05-01 00:00:00");
        db.con.Execute("insert into archivelist (archiveid, postid, subject, message) "
                       "values (7, 91, '旧的备份方案', 'OLD TAPES')");
        // Posting indexes its queue after the commit; here the fixture's posts.
        board::IndexQueuedPosts(db.con);
    }

    // The index holds exactly the words of the posts and archived posts it
    // names, as their rows stand.
    void ExpectIndexMatchesRows() {
        for (const char* index : {"post_words", "archive_words"})
            EXPECT_NO_THROW(db.con.Execute(std::string("insert into ") + index + " (" + index +
                                           ", rank) values ('integrity-check', 1)"))
                << index;
    }

    // What LIKE alone finds, in the order of the search's list: the posts
    // that hold every word of `terms` (split at blanks), in any order.
    Subjects Scan(const std::string& terms, bool subjectOnly) {
        std::string test = "1";
        platform::SqlParams words;
        for (const std::string& word : platform::Split(platform::LCase(terms), " ")) {  // as the search takes them
            if (word.empty()) continue;
            words.push_back(Variant("%" + word + "%"));
            const std::string p = "?" + std::to_string(words.size());
            test += subjectOnly ? " and subject like " + p : " and (subject like " + p + " or message like " + p + ")";
        }
        const board::SqlStatement scan{
            "select 0 as isarchive, subject, posttime as lastlytime from post join forum using (forumname) "
            "where lower(ifnull([restrict], '')) <> 'private' and " + test +
                " union all select 1, subject, posttime from archivelist where " + test +
                " order by lastlytime desc, subject",
            words};
        return Run(scan);
    }
    Subjects Found(const std::string& word, bool subjectOnly) {
        SearchChoices c = Defaults();
        c.terms = word;
        c.searchIn = subjectOnly ? "SUBJECT" : "ALL";
        board::SqlStatement s = board::SimpleSearchStatement(db.con, c, kNow);
        s.sql += ", subject";  // ties of time in a known order
        return Run(s);
    }
    // The number the pager shows for a search.
    long long Counted(const SearchChoices& c) {
        board::SearchList list;
        list.choices = c;
        list.asked = kNow;
        const board::SqlStatement count = board::ListCountStatement(db.con, list);
        return platform::CountOf(db.con, count.sql, count.params);
    }
    void ExpectSameAsScan(const std::vector<std::string>& words) {
        for (const std::string& word : words)
            for (bool subjectOnly : {false, true}) {
                EXPECT_EQ(Found(word, subjectOnly), Scan(word, subjectOnly)) << word << " subject only: " << subjectOnly;
                // Counted in the index where it can, always as many as listed.
                for (const char* forum : {"ALL", "general", "Secret", "Gone"}) {
                    SearchChoices c = Defaults();
                    c.terms = word;
                    c.searchIn = subjectOnly ? "SUBJECT" : "ALL";
                    c.forumChoice = forum;
                    EXPECT_EQ(Counted(c), static_cast<long long>(Search(c).size()))
                        << word << " in " << forum << " subject only: " << subjectOnly;
                }
            }
    }
};

const std::vector<std::string> kTestWords = {
    "备份", "开头", "marked", "开头的备份", "数据库", "每天备份数据库", "backup", "disks and", "and tapes", "tapes", "s a", "äpfel", "Äpfel",
    "ärger", "abc", "ａｂｃ", "ＡＢＣ", "😀符", "情😀", "行尾是备份", "% s", "a_b", "_b", "a%b", "0%", "%",
    "[x]", "\"here\"", "'rsync'", "跨栏", "e\nb", "数据库备", "old tapes", "备", "b", "", "不存在的词",
    "\xEF\xBF\xBDx",  // U+FFFD, as LIKE reads the malformed character before the x
    // All words, each somewhere in the subject or message, in any order.
    "tapes disks", "plan  backup", " 备份 数据库 ", "数据 库备份", "äpfel ärger", "备 份", "备份 b", "rsync 不存在的词",
    "a_b 100%", "\"here\" quote", "tapes tapes", "ＡＢＣ 表情",
};

TEST_F(SearchIndexTest, EveryWordFindsWhatTheScanFinds) {
    ExpectSameAsScan(kTestWords);
    // Words of two characters and more go through the index, whatever their
    // wildcards; one character alone cannot.
    auto narrowed = [&](const char* word) {
        SearchChoices c = Defaults();
        c.terms = word;
        return board::SimpleSearchStatement(db.con, c, kNow).sql.find("post_words match") != std::string::npos;
    };
    for (const char* word : {"备份", "ab", "ab_cd", "每天%数据"}) EXPECT_TRUE(narrowed(word)) << word;
    EXPECT_FALSE(narrowed("备"));
    // The count reads the index alone only where it finds what LIKE finds.
    auto countedInIndex = [&](const char* word) {
        board::SearchList list;
        list.choices = Defaults();
        list.choices.terms = word;
        return board::ListCountStatement(db.con, list).sql.find("count(*) from post_words") != std::string::npos;
    };
    for (const char* word : {"备份", "ab", "two disks", "disks  two"}) EXPECT_TRUE(countedInIndex(word)) << word;
    for (const char* word : {"备", "ab_cd", "每天%数据", "备份 b"}) EXPECT_FALSE(countedInIndex(word)) << word;
}

// A forum of more posts than the index narrows to is read newest first by
// time, not post by post of the forum: the list and its count stay the same.
TEST_F(SearchIndexTest, AForumOfManyPostsListsWhatTheScanFinds) {
    db.con.Execute("with recursive n(i) as (select 1 union all select i + 1 from n where i < 30010) "
                   "insert into post (postid, forumname, username, subject, message, posttime) "
                   "select 1000 + i, 'Tech', 'erin', 'many ' || i, case when i % 1000 = 0 then '备份' else 'tapes' end, "
                   "printf('2023-%02d-%02d %02d:%02d:00', 1 + i % 12, 1 + i % 28, i % 24, i % 60) from n");
    board::IndexQueuedPosts(db.con);
    for (const char* word : {"", "备份", "tapes", "t", "ta_es"}) {
        SearchChoices c = Defaults();
        c.terms = word;
        c.forumChoice = "TECH";
        const std::string scan = "from post where forumname = 'Tech' and (subject like ?1 or message like ?1)";
        const platform::SqlParams pattern = {Variant("%" + std::string(word) + "%")};
        // The first pages, and the count.
        const Subjects scanned = Run({"select 0 as isarchive, subject, posttime as lastlytime " + scan +
                                          " order by lastlytime desc, subject limit 60",
                                      pattern});
        board::SqlStatement s = board::SimpleSearchStatement(db.con, c, kNow);
        s.sql += ", subject limit 60";
        EXPECT_EQ(Run(s), scanned) << word;
        EXPECT_EQ(Counted(c), platform::CountOf(db.con, "select count(*) " + scan, pattern)) << word;
    }
}

TEST_F(SearchIndexTest, AnyWordFindsWhatTheScanFinds) {
    struct Case {
        const char* terms;
        Subjects expected;
    };
    const std::vector<Case> cases = {
        {"tapes 备份策略", {"备份策略", "BACKUP Plan", "大写的论坛名", "A:旧的备份方案"}},
        {"rsync ab", {"re: backup", "quote \"here\""}},
        {"跨栏 ｂｃ", {"全角ＡＢＣ字母"}},
        // One word of one character: the index cannot narrow the others.
        {"跨 zz", {"跨"}},
    };
    for (const Case& c : cases) {
        SearchChoices choices = Defaults();
        choices.terms = c.terms;
        choices.booleanAnd = "NO";
        Subjects found = Search(choices);
        std::sort(found.begin(), found.end());
        Subjects expected = c.expected;
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(found, expected) << c.terms;
    }
}

TEST_F(SearchIndexTest, TheIndexFollowsEditsDeletesMovesAndArchives) {
    auto& con = db.con;
    con.Execute("update post set message = '改成了新的内容', subject = 'Edited' where postid = 101");
    con.Execute("update post set forumname = 'Secret' where postid = 100");
    con.Execute("delete from post where postid = 104");
    con.Execute("insert into post (postid, parentid, forumname, username, subject, message, posttime) "
                "values (120, 105, 'General', 'erin', 're', '又一个备份', '2024-05-02 00:00:00')");
    con.Execute("delete from post where postid = 105 or parentid = 105");  // a whole thread
    con.Execute("update archivelist set message = '新的内容' where postid = 91");
    con.Execute("insert into archivelist (archiveid, postid, subject, message) values (7, 92, 'x', 'backup tapes')");
    con.Execute("delete from archivelist where postid = 90");
    const std::vector<std::string> words = {"备份", "新的内容", "backup", "tapes", "edited", "行尾", "改成", "old tapes", "sure"};
    ExpectSameAsScan(words);  // the edited posts and the new reply still queued
    board::IndexQueuedPosts(con);
    ExpectSameAsScan(words);
    ExpectIndexMatchesRows();
}

// Posts wait in the queue until a batch indexes them; a queued post that is
// edited or deleted meanwhile is found as it stands and indexed once.
TEST_F(SearchIndexTest, QueuedPostsAreFoundAndIndexedOnce) {
    auto& con = db.con;
    Post(130, {}, "General", "erin", "排队的贴子", "still queued backup", "2024-05-03 00:00:00");
    Post(131, {}, "General", "erin", "gone", "排队时删掉的备份", "2024-05-03 00:00:00");
    con.Execute("update post set message = '排队时改过的内容' where postid = 130");
    con.Execute("delete from post where postid = 131");
    con.Execute("update post set subject = '再改一次' where postid = 100");  // indexed, then queued again
    const std::vector<std::string> words = {"排队", "改过", "backup", "删掉", "再改", "BACKUP Plan", "tapes"};
    ExpectSameAsScan(words);
    board::IndexQueuedPosts(con);
    ExpectSameAsScan(words);
    ExpectIndexMatchesRows();
    platform::Recordset queued;
    queued.Open("select count(*) from post_words_pending", con);
    EXPECT_EQ(queued.Fields(0).toDouble(), 0);
}

// Texts that hold a NUL (stored before requests lost them): the index
// reads their pairs up to it, as LIKE reads them, and stays whole through
// edits, deletes and a merge of every segment.
TEST_F(SearchIndexTest, TextsWithANulKeepTheIndexWhole) {
    using namespace std::string_literals;
    auto& con = db.con;
    con.Execute("insert into forum (forumname) values (?)", {Variant("Nul\0Forum"s)});
    const struct {
        int id;
        std::string forum, subject, message;
    } posts[] = {
        {150, "General", "nul\0备份", "before\0after tapes"},
        {151, "Nul\0Forum"s, "\0开头", "tapes\0"s},
        {152, "Gone\0Too"s, "\xFF\0marked"s, "中间\0\0两个"s},  // a forum that is gone: hidden
        {153, "General", "to be deleted\0", "x\0y"s},
    };
    for (const auto& p : posts)
        con.Execute("insert into post (postid, forumname, username, subject, message, posttime) "
                    "values (?, ?, 'erin', ?, ?, '2024-05-04 00:00:00')",
                    {p.id, p.forum, p.subject, p.message});
    board::IndexQueuedPosts(con);
    con.Execute("update post set message = ? where postid = 150", {Variant("edited\0backup"s)});
    con.Execute("delete from post where postid = 153");
    board::IndexQueuedPosts(con);
    con.Execute("insert into post_words (post_words) values ('optimize')");
    ExpectIndexMatchesRows();
    ExpectSameAsScan({"nul", "备份", "edited", "backup", "tapes", "开头", "marked", "中间", "两个", "edited\0backup"s,
                      "nul 备份", "\0"s});
}

TEST_F(SearchQueryTest, TodaysTopicsAndOneAuthorsPosts) {
    // The reply of today moved its topic's last reply to today.
    EXPECT_EQ(Run(board::DailyTopicsStatement(kNow)), Subjects{"Backup Tips"});
    EXPECT_EQ(Run(board::DailyTopicsStatement(platform::MakeDateTime(2024, 4, 30, 23, 59, 59))),
              Subjects{"数据库备份"});
    EXPECT_EQ(Run(board::DailyTopicsStatement(platform::MakeDateTime(2024, 5, 9, 0, 0, 0))), Subjects{});

    // Topics and replies, newest first; the private forum and archives left out.
    EXPECT_EQ(Run(board::UserPostsStatement(Variant("ALICE"))), Subjects{"Backup Tips"});
    Post(5, 3, "Tech", "alice", "re: 备份", "me too", "2024-05-01 00:00:00");
    EXPECT_EQ(Run(board::UserPostsStatement(Variant("alice"))), (Subjects{"Backup Tips", "re: 备份"}));
    EXPECT_EQ(Run(board::UserPostsStatement(Variant("dave"))), Subjects{});
}

}  // namespace
