// The seeding tool: boards of the asked size whose counters are what the
// board's triggers and recount would leave, with the schema intact.
#include <gtest/gtest.h>

#include <string>

#include "TempFolder.h"
#include "core/Schema.h"
#include "tools/seed/LocalTime.h"
#include "tools/seed/Seeder.h"
#include "tools/seed/SqliteBulk.h"

namespace boardseed {
namespace {

// A fixed "now" at noon keeps "today" non-empty and the runs comparable.
constexpr Seconds kNoon = 1765368000;  // 2025-12-10 12:00:00 UTC

class SeedTest : public ::testing::Test {
protected:
    std::string Seed(const std::string& file, std::size_t posts, std::uint64_t seed = 1) {
        SeedOptions options;
        options.db = dir_.File(file);
        options.posts = posts;
        options.seed = seed;
        options.now = StartOfDay(kNoon) + 12 * kHour;
        report_ = SeedBoard(options);
        return options.db;
    }

    static long long Number(const std::string& db, const std::string& sql) {
        SqliteFile file(db);
        Statement query(file, sql);
        EXPECT_TRUE(query.Step()) << sql;
        return query.Integer(0);
    }
    static std::string Text(const std::string& db, const std::string& sql) {
        SqliteFile file(db);
        Statement query(file, sql);
        EXPECT_TRUE(query.Step()) << sql;
        return query.Text(0);
    }

    TempFolder dir_;
    SeedReport report_;
};

TEST_F(SeedTest, CountersAgreeWithTheRowsTheyCount) {
    const std::string db = Seed("board.db", 3000);
    EXPECT_EQ(3000, Number(db, "SELECT count(*) FROM post"));
    EXPECT_EQ(0, Number(db, R"(
        SELECT count(*) FROM post t WHERE parentid IS NULL AND (
          replycount <> (SELECT count(*) FROM post r WHERE r.parentid = t.postid)
          OR lastreplyposttime <> ifnull((SELECT max(posttime) FROM post r WHERE r.parentid = t.postid), posttime)
          OR lastreplyusername <> (SELECT username FROM post r WHERE r.postid = t.postid OR r.parentid = t.postid
                                   ORDER BY posttime DESC, postid DESC LIMIT 1)))"));
    EXPECT_EQ(0, Number(db, R"(
        SELECT count(*) FROM forum f WHERE
          topiccount <> (SELECT count(*) FROM post WHERE forumname = f.forumname AND parentid IS NULL)
          OR replycount <> (SELECT count(*) FROM post WHERE forumname = f.forumname AND parentid IS NOT NULL)
          OR lastposttime IS NOT (SELECT max(posttime) FROM post WHERE forumname = f.forumname))"));
    EXPECT_EQ(0, Number(db, R"(
        SELECT count(*) FROM register m WHERE
          postcount <> (SELECT count(*) FROM post WHERE username = m.username)
          OR jf <> 3 * postcount + (SELECT count(*) FROM post r JOIN post t ON r.parentid = t.postid
                                     WHERE t.username = m.username AND r.username <> m.username))"));
    // Ids grow with time, as the thread view's next and previous links expect.
    EXPECT_EQ(0, Number(db, "SELECT count(*) FROM post a JOIN post b ON b.postid = a.postid + 1"
                            " WHERE b.posttime < a.posttime"));
}

TEST_F(SeedTest, SchemaKeepsItsIndexesAndTriggers) {
    const std::string fresh = dir_.File("fresh.db");
    core::EnsureDatabase(fresh);
    const std::string seeded = Seed("board.db", 500);
    const std::string schema = "SELECT group_concat(type || ' ' || name || ' ' || ifnull(sql, ''), ';')"
                               " FROM (SELECT * FROM sqlite_master ORDER BY type, name)";
    EXPECT_EQ(Text(fresh, schema), Text(seeded, schema));

    // The triggers work on the seeded rows: a new reply to the long thread counts.
    {
        SqliteFile file(seeded);
        file.Exec("INSERT INTO post (parentid, forumname, username, subject, message) VALUES (" +
                  std::to_string(report_.longThreadId) + ", '" + report_.busyForum + "', 'admin', 'x', 'y')");
    }
    EXPECT_EQ(report_.longThreadPosts,
              Number(seeded, "SELECT replycount FROM post WHERE postid = " + std::to_string(report_.longThreadId)));
}

TEST_F(SeedTest, ShapeOfTheBoard) {
    const std::string db = Seed("board.db", 2000);
    EXPECT_EQ(16, Number(db, "SELECT count(*) FROM forum"));
    EXPECT_EQ(4, Number(db, "SELECT count(DISTINCT catalog) FROM forum"));
    EXPECT_EQ(1, Number(db, "SELECT count(*) FROM forum WHERE [restrict] = 'private' AND forumpassword <> ''"));
    EXPECT_EQ("administrator", Text(db, "SELECT status FROM register WHERE username = 'admin'"));
    EXPECT_LT(0, Number(db, "SELECT count(*) FROM moderated"));
    // The busy forum holds the largest share; the long thread has pages of replies.
    EXPECT_EQ(report_.busyForum, Text(db, "SELECT forumname FROM forum ORDER BY topiccount DESC LIMIT 1"));
    EXPECT_LE(25, report_.longThreadPosts);
    EXPECT_LT(0, Number(db, "SELECT count(*) FROM post WHERE posttime >= '" + LocalDateText(kNoon) + "'"));
    EXPECT_LT(0, Number(db, "SELECT count(*) FROM post WHERE message LIKE '%[quote]%[/quote]%'"));
    EXPECT_LT(0, Number(db, "SELECT count(*) FROM post WHERE message LIKE '%[b]%[/b]%'"));
    EXPECT_LT(0, Number(db, "SELECT count(*) FROM post WHERE message LIKE '%:)%'"));
    // Announcements in force today and past ones, to all forums and to one.
    const std::string today = LocalDateText(kNoon);
    EXPECT_LT(0, Number(db, "SELECT count(*) FROM announce WHERE startdate <= '" + today + "' AND enddate >= '" +
                                today + "'"));
    EXPECT_LT(0, Number(db, "SELECT count(*) FROM announce WHERE enddate < '" + today + "'"));
    EXPECT_EQ(16, Number(db, "SELECT max(n) FROM (SELECT count(*) AS n FROM announceto GROUP BY id)"));
    EXPECT_EQ(1, Number(db, "SELECT min(n) FROM (SELECT count(*) AS n FROM announceto GROUP BY id)"));
    EXPECT_EQ(2, Number(db, "SELECT count(*) FROM archive"));
    EXPECT_EQ(0, Number(db, "SELECT count(*) FROM archivelist a JOIN post p ON p.postid = a.postid"));
}

TEST_F(SeedTest, SameSeedSameBoard) {
    const std::string content = "SELECT sum(length(message) * postid) + sum(unicode(subject)) FROM post";
    const std::string a = Seed("a.db", 800, 7);
    const std::string b = Seed("b.db", 800, 7);
    const std::string c = Seed("c.db", 800, 8);
    EXPECT_EQ(Number(a, content), Number(b, content));
    EXPECT_NE(Number(a, content), Number(c, content));
}

TEST_F(SeedTest, RefusesAnExistingDatabase) {
    const std::string db = Seed("board.db", 100);
    EXPECT_THROW(Seed("board.db", 100), std::exception);
    EXPECT_EQ(100, Number(db, "SELECT count(*) FROM post"));
}

}  // namespace
}  // namespace boardseed
