// The announcements page (ubbmisc.asp?action=getannounce) on a real
// database through the board host.
#include <gtest/gtest.h>

#include <string>

#include "BrowseBoard.h"
#include "platform/DateTime.h"

namespace {

using platform::Variant;

using browse_test::Count;
using browse_test::Has;

// Midnight `days` from today, in the stored form.
std::string Day(int days, const std::string& time = "00:00:00") {
    const platform::DateTime d = platform::AddDays(platform::Now(), days);
    return platform::FormatDate(d) + " " + time;
}

class AnnouncementsTest : public ::testing::Test, protected browse_test::BrowseBoard {
protected:
    void Announce(const std::string& subject, const std::string& content, const std::string& start,
                  const std::string& end, std::initializer_list<const char*> forums,
                  const std::string& posted = Day(-1, "12:00:00")) {
        db.con.Execute(
            "insert into announce (subject, content, startdate, enddate, username, posttime) values (?, ?, ?, ?, 'admin', ?)",
            {subject, content, start, end, posted});
        const long long id = db.con.LastIdentity();
        for (const char* forum : forums)
            db.con.Execute("insert into announceto (id, forumname) values (?, ?)", {Variant(id), forum});
    }

    site::DriverResponse Show(const std::string& forum, site::Fields cookies = {}) {
        site::DriverRequest request;
        request.page = "ubbmisc.asp";
        request.query = {{"action", "getannounce"}, {"Forum", forum}};
        request.cookies = std::move(cookies);
        return driver.Run(request);
    }
};

TEST_F(AnnouncementsTest, ListsWhatIsInForceForTheForum) {
    Announce("今天", "x", Day(0), Day(0), {"灌水"}, Day(-1, "10:00:00"));
    Announce("两个论坛", "x", Day(-3), Day(3), {"灌水", "技术"}, Day(-1, "11:00:00"));
    Announce("昨天结束", "x", Day(-5), Day(-1), {"灌水"});
    Announce("明天开始", "x", Day(1), Day(5), {"灌水"});
    Announce("今天晚些开始", "x", Day(0, "08:00:00"), Day(5), {"灌水"});
    Announce("别的论坛", "x", Day(-1), Day(1), {"技术"});

    const std::string body = Show("灌水").body;
    EXPECT_TRUE(Has(body, "<P><B>当前公告：2</B> <BR>"));
    // Newest first, each once.
    const std::size_t newer = body.find("<FONT color=#000080 >两个论坛</FONT>");
    const std::size_t older = body.find("<FONT color=#000080 >今天</FONT>");
    ASSERT_NE(newer, std::string::npos);
    ASSERT_NE(older, std::string::npos);
    EXPECT_LT(newer, older);
    EXPECT_EQ(Count(body, "两个论坛"), 1u);
    for (const char* hidden : {"昨天结束", "明天开始", "今天晚些开始", "别的论坛"}) EXPECT_FALSE(Has(body, hidden)) << hidden;
    // Odd rows take the first colour.
    EXPECT_LT(body.find("<TR bgcolor=\"#f7f7f7\">"), body.find("<TR bgcolor=\"#dedfdf\">"));

    EXPECT_TRUE(Has(Show("技术").body, "<P><B>当前公告：2</B>"));
}

TEST_F(AnnouncementsTest, NoneForTheForum) {
    const std::string body = Show("空论坛").body;
    EXPECT_TRUE(Has(body, "<title>公告 - Tarnbell</title>"));
    EXPECT_TRUE(Has(body, "<P><B>当前公告：0</B>"));
    EXPECT_TRUE(Has(body, "<FONT color=#ffffff>公告</FONT></TD></TR></table>"));
    EXPECT_TRUE(Has(body, "版主：诚征版主"));
    EXPECT_EQ(body.substr(body.size() - 14), "</body></html>");
}

TEST_F(AnnouncementsTest, RowShowsAuthorPeriodAndConvertedText) {
    platform::DateParts start = platform::Parts(platform::AddDays(platform::Now(), -2));
    Announce("通知", "[b]x[/b] <i>y</i> :)", Day(-2), Day(0), {"灌水"});
    const std::string body = Show("灌水").body;
    const std::string startText = std::to_string(start.year) + "年" + std::to_string(start.month) + "月" +
                                  std::to_string(start.day) + "日";
    EXPECT_TRUE(Has(body, "由 admin 发布　　　<FONT color=#000080>［从 " + startText + " 开始到 "));
    EXPECT_TRUE(Has(body, "截止］</FONT><HR><B>x</B> &lt;i&gt;y&lt;/i&gt; :)</TD></TR>"));
}

TEST_F(AnnouncementsTest, NewMarkAgainstTheVisitStart) {
    Announce("通知", "x", Day(-1), Day(1), {"灌水"}, Day(-1, "12:00:00"));
    const std::string newIcon = "<IMG border=0 src=images/posticonnew.gif>由 ";
    const std::string oldIcon = "<IMG border=0 src=images/posticon.gif>由 ";

    EXPECT_TRUE(Has(Show("灌水", {{"sessionLoginDT", Day(-2)}}).body, newIcon));
    EXPECT_TRUE(Has(Show("灌水", {{"sessionLoginDT", Day(0)}}).body, oldIcon));
    // A visit without a start time gets one now; nothing counts as new.
    driver.keepCookies = false;
    const site::DriverResponse first = Show("灌水");
    EXPECT_TRUE(Has(first.body, oldIcon));
    EXPECT_NE(first.cookie("sessionLoginDT"), nullptr);
}

TEST_F(AnnouncementsTest, ForumNameIsAValueAndEncoded) {
    Announce("引号", "x", Day(-1), Day(1), {"O'Neil"});
    EXPECT_TRUE(Has(Show("O'Neil").body, "<P><B>当前公告：1</B>"));

    const std::string body = Show("<i>x</i>").body;
    EXPECT_FALSE(Has(body, "<i>x</i>"));
    EXPECT_TRUE(Has(body, "<FONT color=#000080><B>&lt;i&gt;x&lt;/i&gt;</B></FONT><br>版主："));
    EXPECT_TRUE(Has(body, "<A href=list.asp?groupname=%3Ci%3Ex%3C%2Fi%3E>&lt;i&gt;x&lt;/i&gt;</a>"));
}

TEST_F(AnnouncementsTest, PrivateForumOnlyForAdmittedVisitors) {
    db.con.Execute("insert into register (username, password) values ('joe', 'pw')");
    db.con.Execute("insert into forum (forumname, [restrict], forumpassword) values ('密室', 'private', 'Pw')");
    Announce("内部通知", "secret", Day(-1), Day(1), {"密室"});

    const std::string form = Show("密室").body;
    EXPECT_TRUE(Has(form, "<b>加　密　论　坛</b>"));
    EXPECT_FALSE(Has(form, "内部通知"));
    EXPECT_FALSE(Has(form, "secret"));
    EXPECT_EQ(form.substr(form.size() - 14), "</body></html>");

    driver.Post("ubbmisc.asp", {{"action", "idcheck"}, {"UserName", "joe"}, {"Password", "pw"},
                                  {"Forum", "密室"}, {"ForumPassword", "Pw"}});
    EXPECT_TRUE(Has(Show("密室").body, "<FONT color=#000080 >内部通知</FONT>"));
}

TEST_F(AnnouncementsTest, ClubStyleHeader) {
    host.application().Set("BBSTYLE", "CLUB");
    const std::string body = Show("灌水").body;
    EXPECT_TRUE(Has(body, "<table width=95%><tr><td><FONT color=#000080><B>灌水</B></FONT><br>版主：诚征版主</td></tr></table>"));
    EXPECT_FALSE(Has(body, "images/tline.gif"));
}

TEST_F(AnnouncementsTest, DatabaseFailureEndsInTheErrorTail) {
    db.con.Execute("drop table announceto");
    const std::string body = Show("灌水").body;
    EXPECT_TRUE(Has(body, "错误号："));
    EXPECT_TRUE(Has(body, "no such table"));
    EXPECT_FALSE(Has(body, "当前公告"));
    // The footer follows the error page.
    EXPECT_TRUE(Has(body, "</table><p align=center><font class=smallFont>"));
    EXPECT_EQ(body.substr(body.size() - 14), "</body></html>");
}

}  // namespace
