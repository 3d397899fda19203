// The list of columns naming a forum or member against the schema of a
// fresh board, and its renames and deletes run on rows naming both.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "TestDatabase.h"
#include "core/ForumChanges.h"
#include "core/NameCascades.h"
#include "platform/Recordset.h"
#include "platform/Strings.h"

using core::NameColumn;
using core::NameOf;
using core::OnDelete;
using core::OnRename;

namespace {

// How the schema names columns that hold a forum's or member's name.
bool LooksLikeAName(const std::string& column) {
    static const char* const endings[] = {"forum", "forumname", "username", "master", "moderater", "moderator",
                                          "sender", "recipient", "author", "poster", "member"};
    const std::string name = platform::LCase(column);
    for (const std::string ending : endings)
        if (name.size() >= ending.size() && name.compare(name.size() - ending.size(), ending.size(), ending) == 0)
            return true;
    return false;
}

std::string Key(const std::string& table, const std::string& column) {
    return platform::LCase(table) + "." + platform::LCase(column);
}

// Every column of every table (virtual ones too), as "table.column".
std::set<std::string> SchemaColumns(platform::Connection& con) {
    platform::Recordset rs;
    rs.Open("select m.name, c.name from sqlite_master m join pragma_table_info(m.name) c "
            "where m.type='table' and m.name not like 'sqlite\\_%' escape '\\'",
            con);
    std::set<std::string> columns;
    for (; !rs.Eof(); rs.MoveNext()) columns.insert(Key(rs.Fields(0).str(), rs.Fields(1).str()));
    return columns;
}

bool LeftAlone(const NameColumn& c, bool renaming) {
    return renaming ? c.onRename == OnRename::Follows || c.onRename == OnRename::Kept
                    : c.onDelete == OnDelete::Follows || c.onDelete == OnDelete::Kept;
}

}  // namespace

TEST(NameCascades, EveryColumnNamingAForumOrMemberIsListed) {
    TestDatabase db;
    std::set<std::string> listed;
    for (const NameColumn& c : core::NameColumns()) listed.insert(Key(c.table, c.column));
    std::string unlisted;
    for (const std::string& column : SchemaColumns(db.con)) {
        const std::string name = column.substr(column.find('.') + 1);
        if (LooksLikeAName(name) && !listed.count(column)) unlisted += column + " ";
    }
    EXPECT_EQ(unlisted, "") << "add them to core/NameCascades.cpp: cascaded, or left alone with the reason";
}

TEST(NameCascades, EveryListedColumnExistsAndWhatIsLeftAloneSaysWhy) {
    TestDatabase db;
    const std::set<std::string> schema = SchemaColumns(db.con);
    for (const NameColumn& c : core::NameColumns()) {
        SCOPED_TRACE(Key(c.table, c.column));
        EXPECT_TRUE(schema.count(Key(c.table, c.column)));
        EXPECT_EQ(LeftAlone(c, true) || LeftAlone(c, false), std::string(c.why) != "");
    }
}

namespace {

const char* const kForum = "Talk";
const char* const kMember = "vic";

// One row in each table of the list, every listed column of it holding the
// forum's or the member's name (but the columns other rows set).
void NameBothEverywhere(platform::Connection& con) {
    std::map<std::string, std::vector<const NameColumn*>> tables;
    for (const NameColumn& c : core::NameColumns())
        if (c.onRename != OnRename::Follows) tables[c.table].push_back(&c);
    for (const auto& [table, columns] : tables) {
        std::string names, values;
        platform::SqlParams params;
        for (const NameColumn* c : columns) {
            names += std::string(names.empty() ? "" : ", ") + c->column;
            values += values.empty() ? "?" : ", ?";
            params.push_back(c->names == NameOf::Forum ? kForum : kMember);
        }
        con.Execute("insert into " + table + " (" + names + ") values (" + values + ")", params);
    }
}

std::string Count(platform::Connection& con, const NameColumn& c, const std::string& name) {
    platform::Recordset rs;
    rs.Open("select count(*) from " + std::string(c.table) + " where " + c.column + "=?", con, {name});
    return rs.Fields(0).str();
}

}  // namespace

// Renamed and deleted by the name in another letter case: columns the list
// changes no longer hold the old name, kept ones still do.
TEST(NameCascades, RenameAndDeleteChangeEveryListedColumnTheListChanges) {
    struct Case {
        const char* what;
        NameOf names;
        bool renaming;
    } cases[] = {
        {"forum renamed", NameOf::Forum, true},
        {"forum deleted", NameOf::Forum, false},
        {"member renamed", NameOf::Member, true},
        {"member deleted", NameOf::Member, false},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        TestDatabase db;
        NameBothEverywhere(db.con);
        const std::string name = k.names == NameOf::Forum ? kForum : kMember;
        if (k.renaming)
            core::RenameEverywhere(db.con, k.names, platform::UCase(name), "renamed");
        else
            core::DeleteEverywhere(db.con, k.names, platform::UCase(name));
        core::FinishForumChanges(db.con);  // a forum's posts follow it
        for (const NameColumn& c : core::NameColumns()) {
            if (c.names != k.names) continue;
            SCOPED_TRACE(Key(c.table, c.column));
            const bool kept = k.renaming ? c.onRename == OnRename::Kept : c.onDelete == OnDelete::Kept;
            if (LeftAlone(c, k.renaming) && !kept) continue;  // other rows set it again
            EXPECT_EQ(Count(db.con, c, name), kept ? "1" : "0");
            if (k.renaming && !kept) {
                EXPECT_EQ(Count(db.con, c, "renamed"), "1");
            }
        }
    }
}

namespace {

std::string Row(platform::Connection& con, const std::string& sql, const platform::SqlParams& params = {}) {
    platform::Recordset rs;
    rs.Open(sql, con, params);
    return rs.GetString("|", ",");
}

}  // namespace

// A renamed forum's posts keep their counters and their place in the search
// index (none is queued to be indexed again); their points change only when
// the last recount left out the old or the new name.
TEST(NameCascades, RenamedForumKeepsItsCountersIndexAndPoints) {
    struct Case {
        const char* excluded;
        const char* points;
    } cases[] = {
        {"", "ann|4,bob|3,"},
        {"TALK", "ann|4,bob|3,"},  // left out before, counted now
        {"renamed", "ann|0,bob|0,"},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.excluded);
        TestDatabase db;
        platform::Connection& con = db.con;
        con.Execute("insert into points_excluded (forumname) values (?)", {k.excluded});
        con.Execute("insert into register (username) values ('ann'), ('bob')");
        con.Execute("insert into forum (forumname) values (?)", {kForum});
        con.Execute("insert into post (postid, parentid, forumname, username, subject, message, posttime) "
                    "values (1, null, ?1, 'ann', '天气', '今天下雨', '2004-01-01 10:00:00')",
                    {kForum});
        con.Execute("insert into post (postid, parentid, forumname, username, subject, message, posttime) "
                    "values (2, 1, ?1, 'bob', 're', '明天晴天', '2004-01-02 10:00:00')",
                    {kForum});
        con.Execute("insert into post_words (post_words) values ('rebuild')");
        con.Execute("delete from post_words_pending");

        core::RenameEverywhere(con, NameOf::Forum, kForum, "renamed");
        core::FinishForumChanges(con);
        EXPECT_EQ(Row(con, "select forumname, topiccount, replycount, lastposttime from forum"),
                  "renamed|1|1|2004-01-02 10:00:00,");
        EXPECT_EQ(Row(con, "select replycount from post where postid=1"), "1,");
        EXPECT_EQ(Row(con, "select count(*) from post_words_pending"), "0,");
        EXPECT_EQ(Row(con, "select rowid from post_words where post_words match '\"明天\"'"), "2,");
        EXPECT_EQ(Row(con, "select username, jf from register order by username"), k.points);
        EXPECT_EQ(Row(con, "select count(*) from forum_renaming"), "0,");
    }
}

namespace {

// A board with two forums of three threads each (a topic, then replies by
// bob and ann) and the members' points as a recount gives them.
void AddThreeThreadsEach(platform::Connection& con) {
    con.Execute("insert into register (username) values ('ann'), ('bob')");
    con.Execute("insert into forum (forumname) values (?), ('Other')", {kForum});
    for (const char* forum : {kForum, "Other"})
        for (int topic = 0; topic < 3; ++topic) {
            con.Execute("insert into post (forumname, username, subject) values (?, 'ann', 't')", {forum});
            const long long id = con.LastIdentity();
            con.Execute("insert into post (parentid, forumname, username, subject) values (?1, ?2, 'bob', 'r'), "
                        "(?1, ?2, 'ann', 'r')",
                        {id, forum});
        }
}

// Lets `rows` rows of the post table be renamed or deleted, then fails the
// next (and with it its batch).
void StopPostChangesAfter(platform::Connection& con, int rows) {
    platform::Transaction tx(con);
    con.Execute("create table changes_seen (n)");
    for (const char* change : {"update of forumname", "delete"})
        con.Execute(std::string("create trigger stop_after_") + (change[0] == 'u' ? "update" : "delete") +
                        " before " + change + " on post begin insert into changes_seen values (1); "
                        "select raise(abort, 'stopped') where (select count(*) from changes_seen) > " +
                        std::to_string(rows) + "; end");
    tx.Commit();
}

void LetPostChangesGo(platform::Connection& con) {
    con.Execute("drop trigger stop_after_update");
    con.Execute("drop trigger stop_after_delete");
}

void Rename(platform::Connection& con, const std::string& from, const std::string& to) {
    platform::Transaction tx(con);
    core::RenameEverywhere(con, NameOf::Forum, from, to);
    tx.Commit();
}

}  // namespace

// A deleted forum's posts go in batches, each its own transaction: stopped
// between two (here by a failing batch), the next run takes the rest, and
// every member's post count and points end as a recount gives them.
TEST(NameCascades, DeletedForumsPostsGoInBatchesThatAnInterruptedRunLeavesToTheNext) {
    TestDatabase db;
    platform::Connection& con = db.con;
    AddThreeThreadsEach(con);
    {
        platform::Transaction tx(con);
        core::DeleteEverywhere(con, NameOf::Forum, kForum);
        tx.Commit();
    }
    EXPECT_EQ(Row(con, "select count(*) from post where forumname=?", {kForum}), "9,");
    // The third post to go fails, and with it the second batch.
    StopPostChangesAfter(con, 2);
    EXPECT_THROW(core::FinishForumChanges(con, 2), std::exception);
    EXPECT_EQ(Row(con, "select count(*) from post where forumname=?", {kForum}), "7,");
    EXPECT_EQ(Row(con, "select forumname from forum_deleting"), "Talk,");

    LetPostChangesGo(con);
    core::FinishForumChanges(con, 2);
    EXPECT_EQ(Row(con, "select count(*) from post where forumname=?", {kForum}), "0,");
    EXPECT_EQ(Row(con, "select count(*) from forum_deleting"), "0,");
    EXPECT_EQ(Row(con, "select count(*) from post"), "9,");
    EXPECT_EQ(Row(con, "select username, postcount, jf from register order by username"), "ann|6|21,bob|3|9,");
}


// A renamed forum's row takes the new name at once with its counters; its
// posts follow in batches, each its own transaction: stopped between two,
// the next run takes the rest. A second rename or a delete meanwhile takes
// the posts still under the first old name along. Counters and points end
// as a recount gives them.
TEST(NameCascades, RenamedForumsPostsMoveInBatchesThatAnInterruptedRunLeavesToTheNext) {
    struct Case {
        const char* what;
        const char* to;            // the first rename
        const char* thenRenamed;   // a second rename before the run ends, or null
        bool thenDeleted;
        bool replyDeleted;         // one of its replies still under the old name deleted meanwhile
        const char* posts;         // forum name and count of the posts, in the end
        const char* forums;        // the forum rows, in the end
    } cases[] = {
        {"renamed", "Renamed", nullptr, false, false, "Other|9,Renamed|9,", "Other|3|6,Renamed|3|6,"},
        {"letter case changed", "TALK", nullptr, false, false, "Other|9,TALK|9,", "Other|3|6,TALK|3|6,"},
        {"renamed again", "Renamed", "Again", false, false, "Again|9,Other|9,", "Again|3|6,Other|3|6,"},
        {"then deleted", "Renamed", nullptr, true, false, "Other|9,", "Other|3|6,"},
        {"a reply deleted", "Renamed", nullptr, false, true, "Other|9,Renamed|8,", "Other|3|6,Renamed|3|5,"},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        TestDatabase db;
        platform::Connection& con = db.con;
        AddThreeThreadsEach(con);
        const std::string points = Row(con, "select username, postcount, jf from register order by username");

        Rename(con, kForum, k.to);
        EXPECT_EQ(Row(con, "select forumname, topiccount, replycount from forum order by forumname"),
                  std::string(k.to) == "TALK" ? "Other|3|6,TALK|3|6," : "Other|3|6,Renamed|3|6,");
        StopPostChangesAfter(con, 2);
        EXPECT_THROW(core::FinishForumChanges(con, 2), std::exception);
        EXPECT_EQ(Row(con, "select count(*) from post where forumname=? collate binary", {k.to}), "2,");
        EXPECT_EQ(Row(con, "select oldname, newname from forum_renaming"), std::string(kForum) + "|" + k.to + ",");
        LetPostChangesGo(con);

        if (k.replyDeleted)
            con.Execute("delete from post where rowid = (select rowid from post where forumname=? collate binary "
                        "and parentid is not null limit 1)",
                        {kForum});
        if (k.thenRenamed) Rename(con, k.to, k.thenRenamed);
        if (k.thenDeleted) {
            platform::Transaction tx(con);
            core::DeleteEverywhere(con, NameOf::Forum, k.to);
            tx.Commit();
        }
        core::FinishForumChanges(con, 2);
        EXPECT_EQ(Row(con, "select forumname collate binary, count(*) from post group by 1 order by 1"), k.posts);
        EXPECT_EQ(Row(con, "select forumname, topiccount, replycount from forum order by forumname"), k.forums);
        EXPECT_EQ(Row(con, "select count(*) from forum_renaming"), "0,");
        EXPECT_EQ(Row(con, "select count(*) from forum_deleting"), "0,");
        if (!k.thenDeleted && !k.replyDeleted) {
            EXPECT_EQ(Row(con, "select username, postcount, jf from register order by username"), points);
        }
    }
}
