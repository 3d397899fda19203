// The board home through the request driver: the visit's cookies, forums by
// catalog with their new-post marks, unread messages, the online line and
// the error tail.
#include <gtest/gtest.h>

#include <cmath>
#include <regex>
#include <vector>

#include "BrowseBoard.h"
#include "FixedClock.h"
#include "core/Module1.h"
#include "platform/Convert.h"

namespace {

using browse_test::BrowseBoard;
using browse_test::DaysAgo;
using browse_test::Has;

const char* const kOn = "src=images/on.gif >";
const char* const kOff = "src=images/off.gif >";

// The new-post mark of a forum's row: "on" or "off".
std::string MarkOf(const std::string& body, const std::string& forum) {
    const std::size_t link = body.find("list.asp?GroupName=" + forum + "\"");
    if (link == std::string::npos) return "missing";
    const std::size_t image = body.rfind("src=images/o", link);
    return body.compare(image, std::string(kOn).size(), kOn) == 0 ? "on" : "off";
}

// The visits below happen a second before midnight: the cookies last a
// year from the day's start. (In the future: the driver, like a browser,
// drops cookies that expire before its own clock.)
const platform::DateTime kNow = platform::MakeDateTime(2099, 3, 5, 23, 59, 59);
const char* const kNowText = "2099-03-05 23:59:59";
const platform::DateTime kExpiryOfAYear = platform::MakeDateTime(2100, 3, 5);

TEST(HomeTest, FirstVisitSetsBothCookiesLaterPagesKeepThem) {
    FixedClock clock(kNow);
    BrowseBoard board;
    board.AddForum("General", "A", 1);
    board.AddTopic("General", "alice", "hello", DaysAgo(1));

    const auto first = board.Get("default.asp");
    ASSERT_EQ(first.status, 200);
    const auto* session = first.cookie("sessionLoginDT");
    const auto* last = first.cookie("lastLoginDT");
    ASSERT_TRUE(session && last);
    EXPECT_EQ(session->Value, kNowText);
    EXPECT_EQ(session->Value, last->Value);
    EXPECT_EQ(session->Expires, kExpiryOfAYear);
    EXPECT_EQ(last->Expires, kExpiryOfAYear);
    EXPECT_TRUE(Has(first.body, "您上次来访时间为: 2099-03-05 <FONT COLOR=#800080>23:59:59</font>"));
    EXPECT_EQ(MarkOf(first.body, "General"), "off");

    // Same session: FirstIn is set, nothing is written again.
    const auto second = board.Get("default.asp");
    EXPECT_TRUE(second.cookies.empty());

    // A later page without sessionLoginDT gets it, lastLoginDT stays.
    board.driver.jar.erase("sessionLoginDT");
    const auto third = board.Get("default.asp");
    ASSERT_EQ(third.cookies.size(), 1u);
    EXPECT_EQ(third.cookies[0].Value, kNowText);

    // One that does not read as a date gives the current time and is left alone.
    board.driver.jar["sessionLoginDT"] = "nonsense";
    const auto fourth = board.Get("default.asp");
    EXPECT_TRUE(fourth.cookies.empty());
    EXPECT_EQ(MarkOf(fourth.body, "General"), "off");
}

TEST(HomeTest, NewSessionMarksForumsPostedToSinceTheLastVisit) {
    FixedClock clock(kNow);
    BrowseBoard board;
    board.AddForum("Fresh", "A", 1);
    board.AddForum("Stale", "A", 2);
    board.AddForum("Quiet", "A", 3);
    board.AddTopic("Fresh", "alice", "new", DaysAgo(1));
    board.AddTopic("Stale", "alice", "old", DaysAgo(5));
    const std::string threeDaysAgo = DaysAgo(3);

    const auto home = board.Get("default.asp", {}, {{"lastLoginDT", threeDaysAgo}});
    EXPECT_EQ(MarkOf(home.body, "Fresh"), "on");
    EXPECT_EQ(MarkOf(home.body, "Stale"), "off");
    EXPECT_EQ(MarkOf(home.body, "Quiet"), "off");
    ASSERT_TRUE(home.cookie("sessionLoginDT") && home.cookie("lastLoginDT"));
    EXPECT_EQ(home.cookie("sessionLoginDT")->Value, threeDaysAgo);
    EXPECT_EQ(home.cookie("lastLoginDT")->Value, kNowText);
    EXPECT_TRUE(Has(home.body, "您上次来访时间为: " + threeDaysAgo.substr(0, 10) + " <FONT COLOR=#800080>" +
                                   threeDaysAgo.substr(11) + "</font>"));

    // The next page of the visit keeps comparing with that time.
    EXPECT_EQ(MarkOf(board.Get("default.asp").body, "Fresh"), "on");

    // The rows seen again: another visitor's marks are their own, and a new
    // post shows at once.
    board.driver.jar.clear();
    EXPECT_EQ(MarkOf(board.Get("default.asp", {}, {{"lastLoginDT", DaysAgo(0.5)}}).body, "Fresh"), "off");
    board.AddTopic("Quiet", "bob", "now", DaysAgo(0.1));
    EXPECT_EQ(MarkOf(board.Get("default.asp").body, "Quiet"), "on");
}

TEST(HomeTest, CatalogStripsAppearWhereTheCatalogChanges) {
    BrowseBoard board;
    board.AddForum("NoCatalog", "", 1);
    board.AddForum("A1", "A", 2);
    board.AddForum("A2", "A", 3);
    board.AddForum("NullCatalog", platform::Variant::null(), 4);
    board.AddForum("B1", "B", 5);
    board.AddForum("A3", "A", 6);

    const std::string body = board.Get("default.asp").body;
    const std::regex piece(R"(<td colSpan=6><font color=#000000><b>([^<]*)</b>|GroupName=[^"]*">([^<]*)</a>)");
    std::vector<std::string> order;
    for (std::sregex_iterator it(body.begin(), body.end(), piece), end; it != end; ++it)
        order.push_back((*it)[1].matched ? "strip " + (*it)[1].str() : (*it)[2].str());
    const std::vector<std::string> expected = {"NoCatalog", "strip A", "A1",      "A2",          "NullCatalog",
                                               "strip B",   "B1",      "strip A", "A3",          "strip 悄悄话",
                                               "strip 在线用户"};
    EXPECT_EQ(order, expected);
}

TEST(HomeTest, ForumRowsAsWritten) {
    BrowseBoard board;
    board.AddForum("Talk", "A", 1);
    board.AddForum("Empty", "A", 2);
    board.AddForum("Broken", "A", 3);
    const std::string replyTime = DaysAgo(1);
    board.AddReply(board.AddTopic("Talk", "alice", "t", DaysAgo(2)), "Talk", "bob", replyTime);
    // Counters of an old database: a poster without a time.
    board.db.con.Execute("update forum set lastpostusername='carol', lastposttime=NULL where forumname='Broken'");

    const std::string body = board.Get("default.asp").body;
    const std::string lastTime = core::FormatLastPostTime(platform::Variant(replyTime)).str();
    EXPECT_TRUE(Has(body,
                    "<tr><td vAlign=top bgcolor=\"#FFFFFF\" align=center><img border=0 src=images/off.gif ></td>"
                    "<td  vAlign=top bgcolor=\"#f7f7f7\"><p><b><a href=\"list.asp?GroupName=Talk\">Talk</a></b><br>"
                    "<i>about Talk</i></td>"
                    "<td   noWrap vAlign=top align=center bgcolor=\"#dedfdf\"><p>1&nbsp;</td>"
                    "<td align=center noWrap vAlign=top bgcolor=\"#f7f7f7\"><p>2&nbsp;</td>"
                    "<td   noWrap vAlign=top align=center bgcolor=\"#dedfdf\"><p>" + lastTime +
                    "<br>by <a href=viewuser.asp?username=bob>bob</a></td>"
                    "<td  vAlign=top  align=left bgcolor=\"#f7f7f7\" ><b>mod</b></td></tr>"))
        << body;
    const std::string emptyCell = "<td bgcolor=\"#dedfdf\"></td>";
    EXPECT_EQ(browse_test::Count(body, emptyCell), 2u) << "no last post for Empty and Broken";
    EXPECT_TRUE(Has(body, "</body></html>"));
    EXPECT_FALSE(Has(body, "错误号"));
}

TEST(HomeTest, MessagesAndOnlineLineByVisitor) {
    struct Case {
        const char* name;
        site::Fields cookies;
        const char* messages;
        const char* online;
    };
    const Case cases[] = {
        {"guest", {}, "<img src=images/pm_off_b.gif></td><td colspan=5 bgcolor=\"#f7f7f7\" ><a href=pm.asp>"
                      "<b>悄悄话</b></a> <br> - 检查您的悄悄话</td>",
         "游客 (10.1.2.*) - 现在 0 个成员和 1 个游客在这个论坛"},
        {"member with unread messages", {{"UserName", "alice"}, {"Password", "pw"}},
         "<img src=images/pm_on_b.gif align=absmiddle></td><td colspan=5 bgcolor=\"#f7f7f7\" ><a href=pm.asp>"
         "<b>悄悄话</b></a> <br> - 您有3条新悄悄话</td>",
         "成员 alice - 现在 1 个成员和 0 个游客在这个论坛"},
        // Cookies that name no member, or a name alone, make a guest.
        {"wrong password", {{"UserName", "alice"}, {"Password", "wrong"}}, " - 检查您的悄悄话</td>",
         "游客 (10.1.2.*) - 现在 0 个成员和 1 个游客在这个论坛"},
        {"name alone", {{"UserName", "alice"}}, " - 检查您的悄悄话</td>", "游客 (10.1.2.*)"},
        {"unknown name with markup", {{"UserName", "<script>x</script>"}, {"Password", "pw"}},
         " - 检查您的悄悄话</td>", "游客 (10.1.2.*)"},
        {"member with markup in the name", {{"UserName", "<b>"}, {"Password", "pw"}}, " - 您没有新悄悄话</td>",
         "成员 &lt;b&gt; - "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        BrowseBoard board;
        board.AddMember("alice", "pw");
        board.AddMember("<b>", "pw");
        for (int isNew : {1, 1, 1, 0})
            board.db.con.Execute("insert into PM (sender, recipient, subject, isnew) values ('bob', 'alice', 's', ?)",
                                 {isNew});
        const std::string body = board.Get("default.asp", {}, c.cookies).body;
        EXPECT_TRUE(Has(body, c.messages)) << body;
        EXPECT_TRUE(Has(body, "<a href=online.asp><b>当前浏览的朋友 (1)</b></a> <br>"));
        EXPECT_TRUE(Has(body, c.online)) << body;
        EXPECT_FALSE(Has(body, "<script>"));
        EXPECT_FALSE(Has(body, "成员 <b>"));
    }
}

TEST(HomeTest, TotalsMembersAndPageStyles) {
    BrowseBoard board;
    board.Set("DisplayPostCount", 1);
    board.db.con.Execute("insert into archive (archivename) values ('精华')");
    EXPECT_TRUE(Has(board.Get("default.asp").body,
                    "主题总数:<b></b> | 回复总数:<b></b> | 贴子总数:<b></b>"));

    board.AddForum("Talk", "A", 1);
    board.AddMember("old", "x");
    board.db.con.Execute("insert into register (username, password, signdate) values ('新人', 'x', ?)",
                         {DaysAgo(-0.01)});
    const long long topic = board.AddTopic("Talk", "old", "t", DaysAgo(2));
    board.AddTopic("Talk", "old", "u", DaysAgo(2));
    board.AddReply(topic, "Talk", "old", DaysAgo(1));

    std::string body = board.Get("default.asp").body;
    EXPECT_TRUE(Has(body, "主题总数:<b>2</b> | 回复总数:<b>1</b> | 贴子总数:<b>3</b>"));
    EXPECT_TRUE(Has(body, "| 注册用户:<b>2</b> |&nbsp;最后加盟:<a href=viewuser.asp?username=%D0%C2%C8%CB><b>新人</b></a>"));
    EXPECT_TRUE(Has(body, "<b>归档：</b>"));
    EXPECT_TRUE(Has(body, "<font class=bbtitle color=\"#000080\">Tarnbell</font>"));

    board.Set("BBStyle", "club");
    board.Set("DisplayMemberTotal", 0);
    board.Set("DisplayRegistration", 0);
    body = board.Get("default.asp").body;
    EXPECT_TRUE(Has(body, "<table border=0 width=95%><tr><td align=center>"));
    EXPECT_FALSE(Has(body, "归档："));
    EXPECT_FALSE(Has(body, "bbtitle"));
    EXPECT_FALSE(Has(body, "注册用户:"));
    EXPECT_FALSE(Has(body, "最后加盟"));
}

TEST(HomeTest, DatabaseFailureEndsInTheErrorPage) {
    BrowseBoard board;
    board.db.con.Execute("drop table forum");
    const auto home = board.Get("default.asp");
    EXPECT_TRUE(Has(home.body, "<p><b>错误号：3000<br>错误描述：")) << home.body;
    EXPECT_TRUE(Has(home.body, "<br>错误来源：Orvane</b>"));
    EXPECT_FALSE(Has(home.body, "讨论区"));
    EXPECT_EQ(home.body.substr(home.body.size() - 14), "</body></html>");
    EXPECT_TRUE(home.cookie("sessionLoginDT")) << "the visit's cookies stay set";
}

}  // namespace
