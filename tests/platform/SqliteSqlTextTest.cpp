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
