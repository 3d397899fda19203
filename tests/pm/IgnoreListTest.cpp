// The ignore list: adding, listing, removing.
#include <gtest/gtest.h>

#include "PmBoard.h"

namespace {

using namespace pm_test;

class IgnoreListTest : public ::testing::Test, public PmBoard {
protected:
    site::DriverResponse Add(const std::string& member, const std::string& name) {
        return As(member).Post("pm.asp", {{"action", "Addtoignorelist"}, {"Ignore", name}});
    }
};

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
        EXPECT_TRUE(Has(Add("alice", c.typed).body, c.answer)) << c.typed;
    EXPECT_EQ(Number("select count(*) from ignorelist where username='alice'"), 2);

    // Another member's list is his own.
    Add("Bob", "carol");
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

// The message view's link asks, naming the member as the register holds the
// name; only the posted answer adds him. What the answer would refuse, the
// question refuses already.
TEST_F(IgnoreListTest, TheLinkAsksAndAddsNobody) {
    const std::string asked = Open("alice", {{"action", "Addtoignorelist"}, {"Ignore", "bob"}}).body;
    EXPECT_TRUE(Has(asked, "<title>加入拒绝列表 - ")) << asked;
    EXPECT_TRUE(Has(asked, "<a href=pm.asp?action=IgnoreList>拒绝列表</a>"));
    EXPECT_TRUE(Has(asked, "<input type=hidden name=ignore value=\"Bob\">"));
    EXPECT_TRUE(Has(asked, "要把 Bob 加入您的拒绝列表吗？"));
    EXPECT_EQ(asked.substr(asked.size() - 14), "</body></html>");
    EXPECT_TRUE(Has(Open("alice", {{"action", "addtoignorelist"}, {"Ignore", "alice"}}).body,
                    "您不能把自己加入自己的拒绝列表"));
    EXPECT_TRUE(Has(Open("alice", {{"action", "addtoignorelist"}, {"Ignore", "nobody"}}).body, "没有该用户！"));
    EXPECT_EQ(Number("select count(*) from ignorelist"), 0);
}

TEST_F(IgnoreListTest, TheListHoldsANameOnce) {
    db.con.Execute("insert into ignorelist (username, ignoreusername) values ('alice', 'Bob')");
    EXPECT_ANY_THROW(db.con.Execute("insert into ignorelist (username, ignoreusername) values ('ALICE', 'bob')"));
}

}  // namespace
