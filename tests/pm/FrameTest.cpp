// The gate and the dispatcher of pm.asp.
#include <gtest/gtest.h>

#include "PmBoard.h"

namespace {

using namespace pm_test;

class FrameTest : public ::testing::Test, public PmBoard {};

TEST_F(FrameTest, ActionsInAnyLetterCaseReachTheirPage) {
    const struct {
        const char* action;
        const char* title;
    } cases[] = {
        {nullptr, "<title>收件箱 - "},
        {"", "<title>收件箱 - "},
        {"InBox", "<title>收件箱 - "},
        {"no such action", "<title>收件箱 - "},
        {"GotoPage, outbox", "<title>收件箱 - "},
        {"OUTBOX", "<title>发件箱 - "},
        {"newPM", "<title>发表悄悄话 - "},
        {"IgnoreList", "<title>拒绝列表 - "},
        {"ViewPM", "参数错误！"},
        {"viewOutbox", "参数错误！"},
        {"replyPM", "参数错误！"},
        {"deletePM", "请选择您想删除的记录"},
        {"deleteOutbox", "请选择您想删除的记录"},
        {"deleteignoreList", "请选择想取消的成员！"},
        {"addtoignorelist", "没有该用户！"},
        {"PostPM", "发送给，主题，留言均不能为空！"},
    };
    for (const auto& c : cases) {
        site::Fields query;
        if (c.action) query.emplace_back("action", c.action);
        const auto page = Open("alice", query);
        EXPECT_EQ(page.status, 200) << (c.action ? c.action : "(none)");
        EXPECT_TRUE(Has(page.body, c.title)) << (c.action ? c.action : "(none)") << "\n" << page.body;
        EXPECT_TRUE(page.body.ends_with("</body></html>")) << (c.action ? c.action : "(none)");
    }
}

TEST_F(FrameTest, WithoutLoginAGetShowsTheFormAndAPostIsALoginAttempt) {
    site::RequestDriver guest(host);
    const auto form = guest.Get("pm.asp", {{"action", "viewpm"}, {"postid", "5"}, {"x", "\"><i>"}});
    EXPECT_TRUE(Has(form.body, "要发表或查看悄悄话，您必须通过身份验证！"));
    // The return address is rebuilt from the parsed fields.
    EXPECT_TRUE(Has(form.body, "name=QueryString value=\"action=viewpm&amp;postid=5&amp;x=%22%3E%3Ci%3E\""))
        << form.body;
    EXPECT_FALSE(Has(form.body, "<i>"));
    site::DriverRequest withCookies;
    withCookies.page = "pm.asp";
    withCookies.cookies = {{"username", "a\"><b>"}, {"Password", "p\"><b>"}};
    const std::string prefilled = guest.Run(withCookies).body;
    EXPECT_TRUE(Has(prefilled, "value=\"a&quot;&gt;&lt;b&gt;\""));
    EXPECT_TRUE(Has(prefilled, "value=\"p&quot;&gt;&lt;b&gt;\""));

    const struct {
        const char* what;
        site::Fields form;
        const char* answer;
    } posts[] = {
        {"compose form without credentials", {{"action", "postpm"}, {"Recipient", "Bob"}}, "对不起，由于账号问题"},
        {"wrong password", {{"userName", "alice"}, {"Password", "PA"}}, "对不起，由于账号问题"},
        {"name with blanks", {{"userName", " alice"}, {"Password", "pa"}}, "对不起，由于账号问题"},
        {"back to the asked page",
         {{"userName", "ALICE"}, {"Password", "pa"}, {"QueryString", "action=viewpm&postid=5"}},
         "URL='pm.asp?action=viewpm&amp;postid=5'"},
        {"a forged return address stays on this board",
         {{"userName", "alice"}, {"Password", "pa"}, {"QueryString", "a='><script>&b=http://x"}},
         "URL='pm.asp?a=%27%3E%3Cscript%3E&amp;b=http%3A%2F%2Fx'"},
        {"no return address", {{"userName", "alice"}, {"Password", "pa"}}, "URL='pm.asp?'"},
    };
    for (const auto& c : posts) {
        site::RequestDriver browser(host);
        const auto page = browser.Post("pm.asp", c.form);
        EXPECT_TRUE(Has(page.body, c.answer)) << c.what << "\n" << page.body;
        EXPECT_TRUE(page.body.ends_with("</body></html>")) << c.what;
    }
}

TEST_F(FrameTest, TheLoginLastsForTheSessionAndIsProvedOnEveryRequest) {
    site::RequestDriver browser(host);
    // A session id planted before the login leads nowhere after it.
    const auto planted = host.sessions().Begin("");
    planted->Set("x", 1);
    host.sessions().End(planted);
    const std::string plantedId = planted->SessionID();
    browser.jar[site::kSessionCookie] = plantedId;
    browser.Post("pm.asp", {{"userName", "alice"}, {"Password", "pa"}});
    EXPECT_NE(browser.jar.at(site::kSessionCookie), plantedId);
    EXPECT_TRUE(host.sessions().Begin(plantedId)->IsEmpty());
    EXPECT_TRUE(Has(browser.Get("pm.asp").body, "<title>收件箱 - "));
    // A changed password ends the way in at once.
    db.con.Execute("update register set password='new' where username='alice'");
    EXPECT_TRUE(Has(browser.Get("pm.asp").body, "您必须通过身份验证"));
}

TEST_F(FrameTest, ABarredMemberIsRefusedOnEveryWayIn) {
    db.con.Execute("update register set canpost=0 where username='carol'");
    site::RequestDriver pmLogin(host);
    EXPECT_TRUE(Has(pmLogin.Post("pm.asp", {{"userName", "carol"}, {"Password", "pc"}}).body,
                    "对不起，您已经被禁止在本论坛发表话题"));
    EXPECT_TRUE(Has(pmLogin.Get("pm.asp").body, "您必须通过身份验证"));

    // The board's login keeps the same session values.
    site::RequestDriver boardLogin(host);
    boardLogin.Post("login.asp", {{"UserName", "carol"}, {"Password", "pc"}});
    for (const char* action : {"inbox", "newpm", "ignorelist"}) {
        const std::string refused = boardLogin.Get("pm.asp", {{"action", action}}).body;
        EXPECT_TRUE(Has(refused, "对不起，您已经被禁止在本论坛发表话题")) << action;
        EXPECT_TRUE(refused.ends_with("</body></html>")) << action;
    }

    // An unset right is no ban.
    db.con.Execute("update register set canpost=null where username='carol'");
    EXPECT_TRUE(Has(boardLogin.Get("pm.asp").body, "<title>收件箱 - "));
}

TEST_F(FrameTest, HeadersFollowTheBoardStyle) {
    Set("BBStyle", "CLUB");
    const auto club = Open("alice", {{"action", "newpm"}});
    EXPECT_TRUE(Has(club.body, "<tr><td align=right><p><a href=pm.asp?action=newpm>新悄悄话</a>"));
    const long long id = AddMessage("Bob", "alice", "hi");
    // The answer form keeps the UBB header.
    const auto reply = Open("alice", {{"action", "replypm"}, {"postid", std::to_string(id)}});
    EXPECT_TRUE(Has(reply.body, "<td><p><b>　　　　悄　悄　话 　　　　</b></p><p><a href=pm.asp?action=newpm>"));
}

}  // namespace
