// The search statements run against a small board: which posts each choice
// of the form finds, and that hostile values cannot widen a search.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestDatabase.h"
#include "board/browse/SearchQuery.h"
#include "platform/DateTime.h"
#include "platform/Error.h"
#include "platform/Recordset.h"

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

    Subjects Search(SearchChoices c) { return Run(board::SimpleSearchStatement(c, kNow)); }

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
        {"all words: another order finds nothing", [](SearchChoices& c) { c.terms = "disks two"; }, {}},
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
        EXPECT_THROW(board::SimpleSearchStatement(c, kNow), platform::RuntimeError) << forum;
    }
    SearchChoices rounded = Defaults();
    rounded.forumChoice = "archive_6.6";  // rounds to 7
    EXPECT_EQ(Search(rounded), Subjects{"A:old backup"});

    for (const char* days : {"1'", "1 or 1=1", "-32768", "40000", ""}) {
        SearchChoices c = Defaults();
        c.searchDate = days;
        EXPECT_THROW(board::SimpleSearchStatement(c, kNow), platform::RuntimeError) << days;
    }
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
