// Login and the private-forum identity check answering through the board
// host, as a browser reaches them.
#include <gtest/gtest.h>

#include <string>

#include "TestDatabase.h"
#include "site/BoardHost.h"
#include "site/RequestDriver.h"

namespace {

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

class AccessServerTest : public ::testing::Test {
protected:
    void SetUp() override {
        db_.con.Execute("insert into register (username, password) values ('joe', 'Joe1')");
        db_.con.Execute("insert into forum (forumname, [restrict], forumpassword) values ('秘密', 'private', 'Pw')");
    }
    TestDatabase db_;
    site::BoardHost host_;
};

TEST_F(AccessServerTest, LoginKeepsTheMemberInTheSession) {
    site::RequestDriver browser(host_);
    site::DriverResponse r = browser.Post("login.asp", {{"UserName", "joe"}, {"Password", "wrong"}});
    EXPECT_EQ(r.status, 200);
    EXPECT_TRUE(Contains(r.body, "对不起，您不是我们论坛的注册用户"));
    EXPECT_TRUE(r.body.ends_with("</body></html>"));

    r = browser.Post("login.asp", {{"UserName", "joe"}, {"Password", "Joe1"}});
    EXPECT_EQ(r.status, 302);
    EXPECT_TRUE(Contains(r.location(), "Default.htm"));

    // Logged in: the identity check takes the session's member, not the form's.
    r = browser.Post("ubbmisc.asp", {{"action", "idcheck"},
                                     {"UserName", "nobody"},
                                     {"Forum", "秘密"},
                                     {"ForumPassword", "Pw"},
                                     {"url", "/list.asp?GroupName=%C3%D8%C3%DC"}});
    EXPECT_EQ(r.status, 200);
    EXPECT_TRUE(Contains(r.body, "我们已经确认了你的身份并允许你进入此论坛"));
    EXPECT_TRUE(Contains(r.body, "<meta http-equiv=Refresh content=\"2; URL='/list.asp?GroupName=%C3%D8%C3%DC'\">"
                                 "</body></html>"));
}

// An id planted in the browser before the login is worth nothing after it:
// the login moves the session's values to a new id.
TEST_F(AccessServerTest, LoginStartsANewSessionId) {
    const auto planted = host_.sessions().Begin("");
    planted->Set("Earlier", "kept");
    ASSERT_TRUE(host_.sessions().End(planted));
    const std::string plantedId = planted->SessionID();

    site::RequestDriver browser(host_);
    browser.jar[site::kSessionCookie] = plantedId;
    const site::DriverResponse r = browser.Post("login.asp", {{"UserName", "joe"}, {"Password", "Joe1"}});
    ASSERT_EQ(r.status, 302);
    const std::string newId = browser.jar.at(site::kSessionCookie);
    EXPECT_NE(newId, plantedId);

    EXPECT_TRUE(host_.sessions().Begin(plantedId)->Get("UserName").isEmpty());
    const auto session = host_.sessions().Begin(newId);
    EXPECT_EQ(session->Get("UserName"), platform::Variant("joe"));
    EXPECT_EQ(session->Get("Earlier"), platform::Variant("kept"));
}

TEST_F(AccessServerTest, IdentityCheckRefusesAWrongForumPassword) {
    site::RequestDriver browser(host_);
    const site::DriverResponse r = browser.Post(
        "ubbmisc.asp",
        {{"action", "IDCheck"}, {"UserName", "joe"}, {"Password", "Joe1"}, {"Forum", "秘密"}, {"ForumPassword", "pw"}});
    EXPECT_TRUE(Contains(r.body, "<p><b>对不起，您不能进入该身份认证论坛，按浏览器后退按钮可重新处理！</b></td></tr></table>"
                                 "</body></html>"));
}

// The session keeps the name as registered, whatever letter case the login
// form carried: pages compare it with the names their rows keep.
TEST_F(AccessServerTest, LoginKeepsTheNameAsRegistered) {
    site::RequestDriver browser(host_);
    ASSERT_EQ(browser.Post("login.asp", {{"UserName", "JOE"}, {"Password", "Joe1"}}).status, 302);
    EXPECT_EQ(host_.sessions().Begin(browser.jar.at(site::kSessionCookie))->Get("UserName"), platform::Variant("joe"));
}

// The private forum's admission is a login too: stored under a new id.
TEST_F(AccessServerTest, ForumAdmissionStartsANewSessionId) {
    const auto planted = host_.sessions().Begin("");
    planted->Set("Earlier", "kept");
    ASSERT_TRUE(host_.sessions().End(planted));
    const std::string before = planted->SessionID();

    site::RequestDriver browser(host_);
    browser.jar[site::kSessionCookie] = before;
    const site::DriverResponse r = browser.Post(
        "ubbmisc.asp",
        {{"action", "idcheck"}, {"UserName", "joe"}, {"Password", "Joe1"}, {"Forum", "秘密"}, {"ForumPassword", "Pw"}});
    ASSERT_TRUE(Contains(r.body, "我们已经确认了你的身份并允许你进入此论坛"));
    const std::string after = browser.jar.at(site::kSessionCookie);
    EXPECT_NE(after, before);
    EXPECT_TRUE(host_.sessions().Begin(before)->Get("admitted:秘密").isEmpty());
    EXPECT_FALSE(Contains(browser.Get("list.asp", {{"GroupName", "秘密"}}).body, "ForumPassword"));
}

// Only the posted identity form admits: a link, even for a logged-in member
// and with the forum's password in it, leads to the forum, which asks.
TEST_F(AccessServerTest, IdentityCheckByLinkAdmitsNobody) {
    site::RequestDriver browser(host_);
    browser.Post("login.asp", {{"UserName", "joe"}, {"Password", "Joe1"}});
    const site::DriverResponse r =
        browser.Get("ubbmisc.asp", {{"action", "idcheck"}, {"Forum", "秘密"}, {"ForumPassword", "Pw"}});
    EXPECT_EQ(r.status, 302);
    EXPECT_TRUE(Contains(r.location(), "list.asp?GroupName=%C3%D8%C3%DC"));
    EXPECT_TRUE(Contains(browser.Get("list.asp", {{"GroupName", "秘密"}}).body, "ForumPassword"));
}

}  // namespace
