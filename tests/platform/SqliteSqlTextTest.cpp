#include <gtest/gtest.h>

#include "platform/SqliteSqlText.h"

using platform::ParseSingleTableSelect;

TEST(SqliteSqlText, OnlyPlainSingleTableSelectsAreUpdatable) {
    struct Case {
        const char* sql;
        const char* table;  // nullptr: not updatable
    };
    const Case cases[] = {
        {"select * from post where 1<>0", "post"},
        {"Select Status from Register Where UserName=?", "Register"},
        {"select count from tally", "tally"},  // a column named like a function
        {"select count(*) from register", nullptr},
        {"select max(postid) from post where parentid is null", nullptr},
        {"select username, sum(hits) from post", nullptr},
        {"select * from post p inner join forum f on p.forumname=f.forumname", nullptr},
        {"select distinct forumname from post", nullptr},
    };
    for (const Case& c : cases) {
        auto parsed = ParseSingleTableSelect(c.sql);
        if (c.table) {
            ASSERT_TRUE(parsed.has_value()) << c.sql;
            EXPECT_EQ(parsed->table, c.table) << c.sql;
        } else {
            EXPECT_FALSE(parsed.has_value()) << c.sql;
        }
    }
}

TEST(SqliteSqlText, CountingCutsOnlyAFinalOrderByThatNoLimitFollows) {
    const struct {
        const char* sql;
        const char* counted;
    } cases[] = {
        {"select * from post order by postid desc", "select * from post "},
        {"select * from post Order  By postid", "select * from post "},
        {"select * from post order by postid limit 5", "select * from post order by postid limit 5"},
        {"select * from post order by postid desc LIMIT ? OFFSET ?", "select * from post order by postid desc LIMIT ? OFFSET ?"},
        {"select * from post order by postid limit 10, 5", "select * from post order by postid limit 10, 5"},
        {"select * from post order by postid /* limit 5 */", "select * from post "},
        {"select * from post where subject = 'order by' order by hits", "select * from post where subject = 'order by' "},
        {"select * from (select * from post order by hits limit 3) order by postid",
         "select * from (select * from post order by hits limit 3) "},
        {"select * from post where postid in (select postid from post order by hits limit 3)",
         "select * from post where postid in (select postid from post order by hits limit 3)"},
        {"select * from post limit 3", "select * from post limit 3"},
    };
    for (const auto& c : cases) EXPECT_EQ(platform::WithoutFinalOrderBy(c.sql), c.counted) << c.sql;
}
