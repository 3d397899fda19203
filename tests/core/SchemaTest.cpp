// The schema: tables, defaults, unique keys, letter case of names, and the
// triggers that keep the stored counters current.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iterator>

#include "TestDatabase.h"
#include "platform/DateTime.h"
#include "platform/Error.h"
#include "platform/Recordset.h"
#include "platform/SqliteDatabase.h"

using platform::Recordset;
using platform::RuntimeError;
using platform::SqlParams;
using platform::Variant;

namespace {

// One row of a query, its fields as text joined by "|".
std::string Row(platform::Connection& con, const std::string& sql, const SqlParams& params = {}) {
    Recordset rs;
    rs.Open(sql, con, params);
    if (rs.Eof()) return "(none)";
    std::string out;
    for (int i = 0; i < rs.FieldCount(); ++i) {
        if (i > 0) out += "|";
        const Variant& v = rs.Fields(i);
        out += v.isDate() ? platform::FormatGeneral(v.rawDate()) : v.str();
    }
    return out;
}

long long Post(platform::Connection& con, const std::string& forum, const std::string& user,
               const std::string& time, Variant parent = Variant::null()) {
    con.Execute("insert into post (forumname, username, subject, posttime, parentid) values (?, ?, 's', ?, ?)",
                {forum, user, time, parent});
    return con.LastIdentity();
}

std::string Topic(platform::Connection& con, long long id) {
    return Row(con, "select replycount, lastreplyposttime, lastreplyusername from post where postid=?", {id});
}

std::string Forum(platform::Connection& con, const std::string& name) {
    return Row(con, "select topiccount, replycount, lastposttime, lastpostusername from forum where forumname=?",
               {name});
}

std::string PostCount(platform::Connection& con, const std::string& user) {
    return Row(con, "select postcount from register where username=?", {user});
}

}  // namespace

TEST(Schema, CreatesTheThirteenTablesOnceAndLeavesAnExistingDatabaseAlone) {
    TestDatabase db;
    // The search index's tables, the points' excluded forum and the notes
    // of forum renames and deletes aside.
    EXPECT_EQ(Row(db.con, "select count(*) from sqlite_master where type='table' and name<>'sqlite_sequence' "
                          "and name not in ('points_excluded', 'forum_renaming', 'forum_deleting') "
                          "and name not like '%\\_words%' escape '\\'"),
              "13");
    EXPECT_EQ(Row(db.con, "select group_concat(name) from pragma_table_info('subscibe')"), "username,forumname");
    db.con.Execute("insert into forum (forumname) values ('kept')");
    db.con.Close();

    core::EnsureDatabase(db.Path());
    db.con.Open(db.ConnectionString());
    EXPECT_EQ(Row(db.con, "select forumname from forum"), "kept");
    EXPECT_EQ(Row(db.con, "pragma journal_mode"), "wal");
}

TEST(Schema, SuppliesTheDefaultsOnInsert) {
    TestDatabase db;
    db.con.Execute("insert into register (username, password) values ('tom', 'pw')");
    db.con.Execute("insert into register (username, canpost) values ('ann', NULL)");
    EXPECT_EQ(Row(db.con, "select canpost, postcount, status is null from register where username='tom'"), "True|0|1");
    EXPECT_EQ(Row(db.con, "select canpost from register where username='ann'"), "True");

    db.con.Execute("insert into post (forumname, username, subject) values ('F', 'tom', 'first')");
    Recordset rs;
    rs.Open("select status, posttime, replycount, lastreplyposttime, lastreplyusername from post", db.con);
    EXPECT_EQ(rs.Fields("status").str(), "open");
    ASSERT_TRUE(rs.Fields("posttime").isDate());
    // Local time, as the pages compare it with the local clock.
    EXPECT_LT(std::abs(rs.Fields("posttime").rawDate().serial - platform::Now().serial), 1.0 / 24);
    EXPECT_EQ(rs.Fields("replycount").str(), "0");
    EXPECT_EQ(rs.Fields("lastreplyposttime").rawDate(), rs.Fields("posttime").rawDate());
    EXPECT_EQ(rs.Fields("lastreplyusername").str(), "tom");
    rs.Close();

    db.con.Execute("insert into PM (sender, recipient) values ('tom', 'ann')");
    db.con.Execute("insert into favor (username, postid) values ('tom', 1)");
    EXPECT_EQ(Row(db.con, "select isnew, posttime is not null from PM"), "True|1");
    EXPECT_EQ(Row(db.con, "select favordate is not null from favor"), "1");
}

TEST(Schema, UniqueKeysRefuseDuplicatesIgnoringLetterCase) {
    TestDatabase db;
    struct Case {
        const char* first;
        const char* second;
    } cases[] = {
        {"insert into favor (username, postid) values ('tom', 5)", "insert into favor (username, postid) values ('TOM', 5)"},
        {"insert into register (username) values ('Tom')", "insert into register (username) values ('tom')"},
        {"insert into forum (forumname) values ('General')", "insert into forum (forumname) values ('GENERAL')"},
    };
    for (const Case& c : cases) {
        db.con.Execute(c.first);
        EXPECT_THROW(db.con.Execute(c.second), RuntimeError) << c.second;
    }
    db.con.Execute("insert into favor (username, postid) values ('tom', 6)");  // another topic is fine
}

TEST(Schema, NamesCompareIgnoringCaseAcrossJoinsPasswordsExactly) {
    TestDatabase db;
    db.con.Execute("insert into forum (forumname, [restrict]) values ('General', 'Private')");
    db.con.Execute("insert into register (username, status, password) values ('Tom', 'Moderater', 'Secret')");
    db.con.Execute("insert into moderated (forum, moderater) values ('GENERAL', 'tom')");
    Post(db.con, "general", "TOM", "2004-01-01 10:00:00");
    EXPECT_EQ(Row(db.con, "select count(*) from post inner join forum on post.forumname=forum.forumname"), "1");
    EXPECT_EQ(Row(db.con,
                  "select register.username from forum inner join moderated on forum.forumname=moderated.forum "
                  "inner join register on moderated.moderater=register.username where forum.forumname='GENERAL' "
                  "and [restrict]='private' and status='moderater'"),
              "Tom");
    EXPECT_EQ(Row(db.con, "select count(*) from register where username='tom' and password='secret'"), "0");
    EXPECT_EQ(Row(db.con, "select count(*) from register where username='tom' and password='Secret'"), "1");
}

TEST(Schema, IdentitiesAreNeverReused) {
    TestDatabase db;
    long long first = Post(db.con, "F", "tom", "2004-01-01 10:00:00");
    db.con.Execute("delete from post where postid=?", {first});
    EXPECT_GT(Post(db.con, "F", "tom", "2004-01-01 10:00:00"), first);
}

TEST(Schema, TriggersKeepTheCountersThroughPostingDeletingAndMoving) {
    TestDatabase db;
    db.con.Execute("insert into forum (forumname) values ('A')");
    db.con.Execute("insert into forum (forumname) values ('B')");
    for (const char* user : {"tom", "ann", "bob"})
        db.con.Execute("insert into register (username) values (?)", {user});

    long long topic = Post(db.con, "A", "tom", "2004-01-01 10:00:00");
    Post(db.con, "a", "bob", "2004-01-01 09:00:00");  // forum name in another case
    EXPECT_EQ(Topic(db.con, topic), "0|2004-01-01 10:00:00|tom");
    EXPECT_EQ(Forum(db.con, "A"), "2|0|2004-01-01 10:00:00|tom");

    Post(db.con, "A", "ann", "2004-01-02 10:00:00", topic);
    long long newest = Post(db.con, "A", "bob", "2004-01-03 10:00:00", topic);
    EXPECT_EQ(Topic(db.con, topic), "2|2004-01-03 10:00:00|bob");
    EXPECT_EQ(Forum(db.con, "A"), "2|2|2004-01-03 10:00:00|bob");
    EXPECT_EQ(PostCount(db.con, "bob"), "2");

    // Deleting the newest reply falls back to the one before it.
    db.con.Execute("delete from post where postid=?", {newest});
    EXPECT_EQ(Topic(db.con, topic), "1|2004-01-02 10:00:00|ann");
    EXPECT_EQ(Forum(db.con, "A"), "2|1|2004-01-02 10:00:00|ann");
    EXPECT_EQ(PostCount(db.con, "bob"), "1");

    // Moving the thread to forum B, one statement for all its posts.
    db.con.Execute("update post set forumname='B' where postid=? or parentid=?", {topic, topic});
    EXPECT_EQ(Forum(db.con, "A"), "1|0|2004-01-01 09:00:00|bob");
    EXPECT_EQ(Forum(db.con, "B"), "1|1|2004-01-02 10:00:00|ann");

    // A whole thread deleted at once; the other forum is untouched.
    db.con.Execute("delete from post where postid=? or parentid=?", {topic, topic});
    EXPECT_EQ(Forum(db.con, "B"), "0|0||");
    EXPECT_EQ(PostCount(db.con, "tom"), "0");
    EXPECT_EQ(PostCount(db.con, "ann"), "0");
    EXPECT_EQ(Forum(db.con, "A"), "1|0|2004-01-01 09:00:00|bob");
}

TEST(Schema, CopiedTopicsAndRenamedForumsEndWithRightCounters) {
    TestDatabase db;
    db.con.Execute("insert into forum (forumname) values ('A')");
    db.con.Execute("insert into forum (forumname) values ('B')");
    long long topic = Post(db.con, "A", "tom", "2004-01-01 10:00:00");
    Post(db.con, "A", "ann", "2004-01-02 10:00:00", topic);

    // A copy carries the source's counters; its replies, copied after it, count again.
    db.con.Execute(
        "insert into post (forumname, username, subject, posttime, replycount, lastreplyposttime, lastreplyusername) "
        "select 'B', username, subject, posttime, replycount, lastreplyposttime, lastreplyusername from post where postid=?",
        {topic});
    long long copy = db.con.LastIdentity();
    db.con.Execute(
        "insert into post (forumname, username, subject, posttime, parentid) "
        "select 'B', username, subject, posttime, ? from post where parentid=?",
        {copy, topic});
    EXPECT_EQ(Topic(db.con, copy), "1|2004-01-02 10:00:00|ann");
    EXPECT_EQ(Forum(db.con, "B"), "1|1|2004-01-02 10:00:00|ann");

    // A rename moves the posts first and the forum row after them.
    db.con.BeginTrans();
    db.con.Execute("update post set forumname='C' where forumname='A'");
    db.con.Execute("update forum set forumname='C' where forumname='A'");
    db.con.CommitTrans();
    EXPECT_EQ(Forum(db.con, "C"), "1|1|2004-01-02 10:00:00|ann");
}

TEST(Schema, TopicListQueryUsesTheForumTopicsIndex) {
    TestDatabase db;
    Recordset rs;
    rs.Open("explain query plan select postid from post where parentid is null and forumname=? "
            "and lastreplyposttime>=? order by lastreplyposttime desc",
            db.con, {"A", "2004-01-01 00:00:00"});
    std::string plan = rs.GetString(" ", "\n");
    EXPECT_NE(plan.find("post_forum_topics"), std::string::npos) << plan;
    EXPECT_EQ(plan.find("TEMP B-TREE"), std::string::npos) << plan;
}

TEST(Schema, ABoardOfTheFirstLayoutIsUpgradedToTheLayoutOfANewBoard) {
    std::ifstream frozen(TEST_SOURCE_DIR "/tests/core/data/BoardLayout1.sql");
    const std::string firstLayout((std::istreambuf_iterator<char>(frozen)), std::istreambuf_iterator<char>());
    ASSERT_FALSE(firstLayout.empty());
    TempFolder folder;
    const std::string path = folder.File("old.db");
    platform::SqliteDatabase(path, true).Exec("BEGIN;" + firstLayout + "; INSERT INTO forum (forumname) VALUES ('kept');"
                                               "INSERT INTO ignorelist (username, ignoreusername) VALUES ('joe', 'ann'), ('JOE', 'Ann');"
                                               "INSERT INTO post (forumname, subject, message) VALUES ('elsewhere', 'old', '早就有的备份');"
                                               "COMMIT");

    core::EnsureDatabase(path);
    EXPECT_EQ(platform::SchemaStepOf(path), static_cast<int>(core::SchemaSteps().size()));
    TestDatabase fresh;
    const std::string layout = "select group_concat(type || ' ' || name || ': ' || sql, char(10)) from "
                               "(select * from sqlite_master order by name)";
    platform::Connection old;
    old.OpenFile(path);
    EXPECT_EQ(Row(old, layout), Row(fresh.con, layout));
    EXPECT_EQ(Row(old, "select forumname, topiccount from forum"), "kept|0");
    EXPECT_EQ(Row(old, "select count(*) from ignorelist"), "1");  // a repeat is dropped for the unique key
    // Posts from before the search index are in it.
    EXPECT_EQ(Row(old, "select rowid from post_words where post_words match '\"有的备份\"'"), "1");
}

// A search index that disagrees with its posts (as one did that was given
// tokens with a NUL) is built again when the board is upgraded.
TEST(Schema, ASearchIndexThatDisagreesWithItsPostsIsBuiltAgain) {
    TempFolder folder;
    const std::string path = folder.File("damaged.db");
    const std::vector<platform::SchemaStep> indexWithForums(core::SchemaSteps().begin(),
                                                            core::SchemaSteps().begin() + 6);
    platform::UpgradeDatabaseFile(path, indexWithForums);
    {
        platform::Connection con;
        con.OpenFile(path);
        con.Execute("insert into post (postid, forumname, subject, message) values (1, 'f', 'old', '早就有的备份')");
        con.Execute("delete from post_words_pending");
        con.Execute("insert into post_words (rowid, subject, message, forum) values (1, 'wrong', 'words', 'f')");
        con.Execute("insert into archivelist (archiveid, postid, subject, message) values (1, 2, 'old', '旧的备份')");
        con.Execute("insert into archive_words (rowid, subject, message) values (99, 'stray', 'words')");
    }
    core::EnsureDatabase(path);
    platform::Connection con;
    con.OpenFile(path);
    for (const std::string index : {"post_words", "archive_words"})
        EXPECT_NO_THROW(con.Execute("insert into " + index + " (" + index + ", rank) values ('integrity-check', 1)"))
            << index;
    EXPECT_EQ(Row(con, "select rowid from post_words where post_words match '\"有的备份\"'"), "1");
    EXPECT_EQ(Row(con, "select count(*) from post_words where post_words match '\"wrong\"'"), "0");
    EXPECT_EQ(Row(con, "select count(*) from archive_words where archive_words match '\"旧的备份\"'"), "1");
}

// An upgraded board's points are counted once (imported or stale values
// replaced), and forums that were added without a display number are
// numbered after the others.
TEST(Schema, AnUpgradeCountsPointsAndNumbersUnnumberedForums) {
    std::ifstream frozen(TEST_SOURCE_DIR "/tests/core/data/BoardLayout1.sql");
    const std::string firstLayout((std::istreambuf_iterator<char>(frozen)), std::istreambuf_iterator<char>());
    TempFolder folder;
    const std::string path = folder.File("old.db");
    platform::SqliteDatabase(path, true).Exec(
        "BEGIN;" + firstLayout +
        "; INSERT INTO register (username, jf) VALUES ('tom', 50), ('ann', 0);"
        "INSERT INTO forum (forumname, sequence) VALUES ('late', NULL), ('first', 2), ('later', NULL), ('second', 5);"
        "INSERT INTO post (postid, forumname, username, subject) VALUES (1, 'first', 'tom', 't');"
        "INSERT INTO post (parentid, forumname, username, subject) VALUES (1, 'first', 'ann', 'r'), (1, 'first', 'tom', 'r');"
        "COMMIT");

    core::EnsureDatabase(path);
    platform::Connection old;
    old.OpenFile(path);
    EXPECT_EQ(Row(old, "select group_concat(username||':'||jf) from (select * from register order by username)"),
              "ann:3,tom:7");
    EXPECT_EQ(Row(old, "select group_concat(forumname||':'||sequence) from (select * from forum order by sequence)"),
              "first:2,second:5,late:6,later:7");
}
