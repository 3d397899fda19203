// The ignore list: adding, listing, removing.
#include <gtest/gtest.h>

#include "PmBoard.h"

namespace {

using namespace pm_test;

class IgnoreListTest : public ::testing::Test, public PmBoard {};

TEST_F(IgnoreListTest, AddListAndRemove) {
    const std::string empty = Open("alice", {{"action", "ignorelist"}}).body;
    EXPECT_TRUE(Has(empty, "<td colspan=3>没有被拒绝的用户</td>"));
    EXPECT_FALSE(Has(empty, "取消选择的用户"));

    const struct {
        const char* typed;
        const char* answer;
    } adds[] = {
        {" bob ", "Bob已经被增加到您的拒绝列表"},
        {"BOB", "该用户已经在您的拒绝列表中！"},
        {"carol", "carol已经被增加到您的拒绝列表"},
        {"ALICE", "您不能把自己加入自己的拒绝列表"},
        {"", "没有该用户！"},
        {"nobody' or '1'='1", "没有该用户！"},
    };
    for (const auto& c : adds)
        EXPECT_TRUE(Has(Open("alice", {{"action", "Addtoignorelist"}, {"Ignore", c.typed}}).body, c.answer)) << c.typed;
    EXPECT_EQ(Number("select count(*) from ignorelist where username='alice'"), 2);

    // Another member's list is his own.
    Open("Bob", {{"action", "addtoignorelist"}, {"ignore", "carol"}});
    const std::string list = Open("alice", {{"action", "IgnoreList"}}).body;
    EXPECT_EQ(Count(list, "<input type=checkbox name=delete value="), 2u);
    EXPECT_LT(list.find("value=\"carol\""), list.find("value=\"Bob\""));  // newest first
    EXPECT_TRUE(Has(list, "取消选择的用户"));

    EXPECT_TRUE(Has(As("alice").Post("pm.asp", {{"action", "deleteignoreList"}}).body, "请选择想取消的成员！"));
    const std::string removed =
        As("alice")
            .Post("pm.asp",
                  {{"action", "deleteignoreList"}, {"delete", "Bob"}, {"delete", "carol"}, {"delete", "nobody"}})
            .body;
    EXPECT_TRUE(Has(removed, "alice您已经从拒绝列表中取消了2个成员"));
    EXPECT_EQ(Number("select count(*) from ignorelist"), 1);  // Bob's own entry
}

TEST_F(IgnoreListTest, TheListHoldsANameOnce) {
    db.con.Execute("insert into ignorelist (username, ignoreusername) values ('alice', 'Bob')");
    EXPECT_ANY_THROW(db.con.Execute("insert into ignorelist (username, ignoreusername) values ('ALICE', 'bob')"));
}

}  // namespace
