// Forum subscriptions: the login it needs, the forum list with the member's
// ticks, replacing and cancelling, and the rows the site's script reads.
#include <vector>

#include "MembersTest.h"
#include "board/members/MemberPages.h"
#include "core/Settings.h"

namespace {

using browse_test::Count;
using browse_test::Has;
using site::Fields;

class SubscriptionsTest : public MembersTest {
protected:
    void SetUp() override {
        AddMember("bob", "bpw");
        AddMember("carol", "cpw");
        AddForum("Alpha", "综合", 1);
        AddForum("Beta", "综合", 2);
        AddForum("Gamma", "技术", 3);
        AddForum("Delta", "综合", 4);
        AddForum("<E>", platform::Variant::null(), 5);
        db.con.Execute("insert into subscibe (username, forumname) values ('carol', 'Beta')");
    }

    void LogIn() { Post("login.asp", {{"UserName", "bob"}, {"Password", "bpw"}}); }

    std::vector<std::string> Rows(const std::string& member) {
        std::vector<std::string> forums;
        platform::Recordset rs;
        rs.Open("select forumname from subscibe where username=? order by rowid", db.con, {member});
        for (; !rs.Eof(); rs.MoveNext()) forums.push_back(rs.Fields(0).str());
        return forums;
    }
};

TEST_F(SubscriptionsTest, NeedsTheBoardLogin) {
    EXPECT_TRUE(Has(Get("subscibe.asp").body, "对不起，个人订阅必须登录后才能进行该操作！请先登录！"));
    LogIn();
    db.con.Execute("update register set password='changed' where username='bob'");
    EXPECT_TRUE(Has(Get("subscibe.asp").body, "对不起，您没有通过我们的身份认证！请重新登录！"));
}

TEST_F(SubscriptionsTest, ListsForumsByCatalogAndReplacesTheTicks) {
    LogIn();
    std::string body = Get("subscibe.asp").body;
    EXPECT_TRUE(Has(body, "<title>个人订阅 - 清风论坛</title>"));
    EXPECT_EQ(Count(body, "<b>综合</b>"), 2u) << "the strip comes back after another catalog";
    EXPECT_EQ(Count(body, "<b>技术</b>"), 1u);
    EXPECT_EQ(Count(body, " checked"), 0u);
    EXPECT_TRUE(Has(body, "<input type=checkbox name=subscibe  value=\"&lt;E&gt;\">&lt;E&gt;(<i>about <E></i>)"));

    body = Post("subscibe.asp", {{"subscibe", "Alpha"}, {"subscibe", "Gamma"}, {"subscibe", "Nowhere"},
                                 {"submit", "订阅"}}).body;
    EXPECT_EQ(Rows("bob"), (std::vector<std::string>{"Alpha", "Gamma", "Nowhere"}));
    EXPECT_EQ(Count(body, " checked"), 2u);
    EXPECT_TRUE(Has(body, "name=subscibe  checked value=\"Gamma\">"));
    EXPECT_FALSE(Has(body, "Nowhere"));

    Post("subscibe.asp", {{"subscibe", "Beta"}, {"cancelsubscibe", "取消订阅"}});
    EXPECT_TRUE(Rows("bob").empty());
    EXPECT_EQ(Rows("carol"), std::vector<std::string>{"Beta"}) << "another member's rows stay";
}

TEST_F(SubscriptionsTest, AFailedReplacementKeepsTheOldSubscriptions) {
    LogIn();
    Post("subscibe.asp", {{"subscibe", "Alpha"}, {"submit", "订阅"}});
    db.con.Execute("create trigger refuse_boom before insert on subscibe when new.forumname='boom' "
                   "begin select raise(abort, 'refused'); end");
    const std::string body =
        Post("subscibe.asp", {{"subscibe", "Gamma"}, {"subscibe", "boom"}, {"submit", "订阅"}}).body;
    EXPECT_TRUE(Has(body, "错误号：")) << body;
    EXPECT_EQ(Rows("bob"), std::vector<std::string>{"Alpha"});
}

TEST_F(SubscriptionsTest, NoForumsNoButtons) {
    db.con.Execute("delete from forum");
    LogIn();
    EXPECT_FALSE(Has(Get("subscibe.asp").body, "value=订阅"));
}

TEST_F(SubscriptionsTest, SubscriptionListIsEmptyOrTheRows) {
    core::Settings saved = core::CurrentSettings();
    core::CurrentSettings().ConnectionString = db.ConnectionString();
    board::MemberPages pages;
    EXPECT_TRUE(pages.GetSubscibeList("bob").isEmpty());
    const platform::Variant rows = pages.GetSubscibeList("CAROL");
    ASSERT_TRUE(rows.isArray());
    EXPECT_EQ(rows.array().size1(), 2u);
    EXPECT_EQ(rows.array().size2(), 1u);
    EXPECT_EQ(rows.array().at(0, 0).str(), "carol");
    EXPECT_EQ(rows.array().at(1, 0).str(), "Beta");
    core::CurrentSettings() = saved;
}

}  // namespace
