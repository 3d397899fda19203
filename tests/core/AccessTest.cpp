#include <gtest/gtest.h>

#include <string>

#include "FixedClock.h"
#include "TarnbellPage.h"
#include "TestDatabase.h"
#include "platform/Convert.h"
#include "platform/DateTime.h"

namespace {

using platform::Variant;
using testing_support::TarnbellPage;

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// The admission: the forum's rule and moderators, and whether the visitor
// may enter. A private forum's admission is a session value of its own that
// no other session value stands in for, whatever the forum is called.
TEST(CheckForum, ReturnsTheRuleModeratorsAndAdmission) {
    TestDatabase db;
    db.con.Execute(
        "insert into forum (forumname, [restrict], forummaster) values "
        "('Secret', 'Private', '<a href=mailto:m@x>m</a>'), ('Plain', null, ''), ('Other', 'a&b', null), "
        "('Login', 'PRIVATE', null), ('UserName', 'private', null)");
    TarnbellPage tp;
    core::Tarnbell& page = tp.Start();
    // The board's own values under the names of two private forums.
    tp.session().Set("Login", Variant::integer(1));
    tp.session().Set("UserName", "joe");

    const struct {
        const char* forum;
        bool exists;
        const char* rule;
        const char* master;
        bool admitted;
    } cases[] = {
        {"secret", true, "private", "<a href=mailto:m@x>m</a>", false},
        {"Plain", true, "", "诚征版主", true},
        {"Other", true, "a&b", "诚征版主", true},
        {"Login", true, "private", "诚征版主", false},
        {"UserName", true, "private", "诚征版主", false},
        {"", false, "", "", false},
        {"nowhere", false, "", "", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.forum);
        const core::ForumAdmission forum = page.CheckForum(db.con, c.forum);
        EXPECT_EQ(forum.exists, c.exists);
        EXPECT_EQ(forum.rule, c.rule);
        EXPECT_EQ(forum.master, c.master);
        EXPECT_EQ(forum.admitted, c.admitted);
    }
}

TEST(PrivateForum, WritesTheIdentityFormWithValuesEncoded) {
    TarnbellPage tp;
    core::Tarnbell& page = tp.Start("/list.asp", "GroupName=%22x&page=2", "UserName=a%22%3E%3Cb%3E; Password=p%26w");
    page.PrivateForum("a\"b");
    const std::string& body = tp.Body();
    EXPECT_TRUE(Contains(body, "<br><br><center><b>加　密　论　坛</b><FORM ACTION=ubbmisc.asp NAME=THEFORM METHOD=POST>"
                               "<table cellpadding=4 cellspacing=1 border=0 width=95%><tr bgcolor=\"#000000\">"
                               "<td colspan=2><FONT color=#ffffff><B>你正打算进入一个私家论坛。"));
    EXPECT_TRUE(Contains(body, "<TR bgcolor=\"#f7f7f7\"><TD>用户名：</td><td><INPUT TYPE=TEXT NAME=UserName  SIZE=20 "
                               "MAXLENGTH=35 value=\"a&quot;&gt;&lt;b&gt;\"></td></tr>"));
    EXPECT_TRUE(Contains(body, "<TR bgcolor=\"#dedfdf\"><TD>用户密码：</td><td><INPUT TYPE=PASSWORD NAME=Password "
                               "SIZE=20 MAXLENGTH=35 value=\"p&amp;w\"></td></tr>"));
    EXPECT_TRUE(Contains(body, "</table><P><INPUT TYPE=HIDDEN NAME=action VALUE=idcheck>"
                               "<input type=hidden name=url value=\"/list.asp?GroupName=%22x&amp;page=2\">"
                               "<INPUT TYPE=HIDDEN NAME=forum value=\"a&quot;b\">"
                               "<INPUT TYPE=SUBMIT NAME=Submit VALUE=这就确认身份 class=buttonface>"
                               "<INPUT TYPE=RESET NAME=Reset VALUE=清除上面的字段 class=buttonface></CENTER></form><br><br>"));

    tp.response().Clear();
    tp.session().Set("Login", Variant::integer(1));
    page.PrivateForum("Secret");
    EXPECT_FALSE(Contains(tp.Body(), "NAME=UserName"));
    EXPECT_TRUE(Contains(tp.Body(), "NAME=ForumPassword"));
}

class IDCheckTest : public ::testing::Test {
protected:
    void SetUp() override {
        db_.con.Execute(
            "insert into register (username, password, status) values "
            "('boss', 'Boss1', 'Administrator'), ('mod', 'Mod1', 'moderater'), ('joe', 'Joe1', null)");
        db_.con.Execute(
            "insert into forum (forumname, [restrict], forumpassword) values "
            "('Secret', 'private', 'Pw'), ('Open', 'private', null)");
        db_.con.Execute("insert into moderated (forum, moderater) values ('Secret', 'mod')");
    }

    // Posts the identity form; returns the page.
    std::string check(const std::string& form, TarnbellPage& tp) {
        tp.Post("/ubbmisc.asp", "action=idcheck&" + form);
        tp.page().IDCheck();
        return tp.Body();
    }

    TestDatabase db_;
};

TEST_F(IDCheckTest, AdmitsByRightOrForumPassword) {
    const char* const unknown = "对不起，您不是本论坛的注册用户，请注册后再使用！按浏览器的后退按钮可重新处理！";
    const char* const refused = "对不起，您不能进入该身份认证论坛，按浏览器后退按钮可重新处理！";
    const struct {
        const char* form;
        const char* forum;
        const char* message;  // null: admitted
    } cases[] = {
        {"UserName=boss&Password=Boss1", "Secret", nullptr},
        {"UserName=mod&Password=Mod1", "Secret", nullptr},
        {"UserName=+joe+&Password=Joe1&ForumPassword=Pw", "Secret", nullptr},
        {"UserName=joe&Password=Joe1&ForumPassword=pw", "Secret", refused},
        {"UserName=joe&Password=Joe1", "Secret", refused},
        {"UserName=joe&Password=Joe1", "Open", nullptr},
        {"UserName=joe&Password=Joe1&ForumPassword=x", "Open", refused},
        {"UserName=mod&Password=Mod1", "Open", nullptr},
        {"UserName=joe&Password=joe1", "Open", unknown},
        {"UserName=&Password=", "Open", unknown},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.form + std::string(" ") + c.forum);
        TarnbellPage tp;
        const std::string body = check(std::string(c.form) + "&Forum=" + c.forum + "&url=list.asp", tp);
        EXPECT_TRUE(Contains(body, "</body></html>"));
        if (c.message) {
            EXPECT_TRUE(Contains(body, std::string("<p><b>") + c.message + "</b>"));
            EXPECT_FALSE(tp.page().CheckForum(db_.con, c.forum).admitted);
        } else {
            EXPECT_TRUE(Contains(body, "<B>谢谢你！我们已经确认了你的身份并允许你进入此论坛，您将在2秒内被自动转送到该论坛。"
                                       "</b>"));
            EXPECT_TRUE(Contains(body, "<meta http-equiv=Refresh content=\"2; URL='list.asp'\"></body></html>"));
            EXPECT_TRUE(tp.page().CheckForum(db_.con, c.forum).admitted);
            EXPECT_TRUE(tp.session()(c.forum).isEmpty()) << "the admission is not the forum's name";
        }
    }
}

TEST_F(IDCheckTest, LoggedInVisitorIsCheckedWithTheSessionCredentials) {
    TarnbellPage tp;
    tp.session().Set("Login", Variant::integer(1));
    tp.session().Set("UserName", "boss");
    tp.session().Set("Password", "Boss1");
    check("UserName=joe&Password=wrong&Forum=Secret&url=http://evil.example/", tp);
    EXPECT_TRUE(tp.page().CheckForum(db_.con, "Secret").admitted);
    EXPECT_TRUE(Contains(tp.Body(), "URL='default.asp'"));
}

TEST(Login, RefusesMissingUnknownOrUnpostedCredentials) {
    TestDatabase db;
    db.con.Execute("insert into register (username, password) values ('joe', 'Joe1')");
    const char* const missing = "请输入您的用户名和密码！按浏览器“后退“按钮可以重新处理！";
    const struct {
        const char* body;   // posted form; null for a GET
        const char* query;
        const char* cookies;
        const char* message;
    } cases[] = {
        {"UserName=+++&Password=Joe1", "", "", missing},
        {"UserName=joe&Password=joe1", "", "",
         "对不起，您不是我们论坛的注册用户，请先<a href=signup.asp>注册</a>，按浏览器的“后退“按钮可以重新处理！"},
        // Credentials in the address or in cookies never log in.
        {nullptr, "UserName=joe&Password=Joe1", "", missing},
        {"", "UserName=joe&Password=Joe1", "", missing},
        {nullptr, "", "UserName=joe; Password=Joe1", missing},
    };
    for (const auto& c : cases) {
        TarnbellPage tp;
        (c.body ? tp.Post("/login.asp", c.body, c.query, c.cookies)
                : tp.Start("/login.asp", c.query, c.cookies))
            .Login();
        EXPECT_TRUE(Contains(tp.Body(), std::string("<p><b>") + c.message + "</b></td></tr></table>")) << c.query;
        EXPECT_TRUE(tp.Body().ends_with("</body></html>")) << c.query;
        EXPECT_TRUE(tp.session()("Login").isEmpty());
    }

    TarnbellPage tp;
    tp.Post("/login.asp", "UserName=+JOE+&Password=Joe1").Login();
    EXPECT_EQ(tp.response().RedirectLocation(), "Default.htm");
    EXPECT_EQ(tp.session()("UserName").str(), "joe");  // as registered
    EXPECT_EQ(tp.session()("Password").str(), "Joe1");
    EXPECT_EQ(tp.session()("Login"), Variant(1));
}

TEST(GetSessionLoginDT, KeepsADateAndReplacesAnythingElse) {
    {
        TarnbellPage tp;
        const Variant dt = tp.Start("/default.asp", "", "sessionLoginDT=2001-03-05+09%3A07%3A30").GetSessionLoginDT();
        EXPECT_TRUE(dt.isDate());
        EXPECT_EQ(platform::FormatGeneral(dt.rawDate()), "2001-03-05 09:07:30");
        EXPECT_TRUE(tp.response().CookieList().empty());
    }
    // A second before midnight: the cookie lasts a year from the day's start.
    FixedClock clock(platform::MakeDateTime(2001, 3, 5, 23, 59, 59));
    TarnbellPage tp;
    const Variant dt = tp.Start("/default.asp", "", "sessionLoginDT=yesterday").GetSessionLoginDT();
    EXPECT_EQ(dt, Variant("2001-03-05 23:59:59"));
    ASSERT_EQ(tp.response().CookieList().size(), 1u);
    const platform::ResponseCookie& cookie = tp.response().CookieList().front();
    EXPECT_EQ(cookie.Value, dt.str());
    ASSERT_TRUE(cookie.Expires.has_value());
    EXPECT_EQ(platform::FormatGeneral(*cookie.Expires), "2002-03-05 00:00:00");
}

TEST(PostSubmitCheck, RefusesWithinTheIntervalAndAcceptsPastIt) {
    FixedClock clock(platform::MakeDateTime(2001, 3, 5, 23, 59, 50));
    TarnbellPage tp;
    core::Tarnbell& page = tp.Start();
    EXPECT_TRUE(page.PostSubmitCheck());  // first submission
    EXPECT_EQ(tp.session()("SubmitTime"), Variant(platform::Now()));
    EXPECT_FALSE(page.PostSubmitCheck());

    clock.Advance(20);  // past midnight; the difference must exceed the interval
    EXPECT_FALSE(page.PostSubmitCheck());
    clock.Advance(1);
    EXPECT_TRUE(page.PostSubmitCheck());
    EXPECT_EQ(tp.session()("SubmitTime"), Variant(platform::Now()));

    // A refused attempt does not restart the interval.
    const Variant earlier = tp.session()("SubmitTime");
    clock.Advance(5);
    EXPECT_FALSE(page.PostSubmitCheck());
    EXPECT_EQ(tp.session()("SubmitTime"), earlier);

    tp.session().Set("SubmitTime", "not a time");
    EXPECT_TRUE(page.PostSubmitCheck());
}

}  // namespace
