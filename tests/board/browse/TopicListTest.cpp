// The topic list of a forum through the request driver: day filter, state
// icons, page links, paging, access and the error tail.
#include <gtest/gtest.h>

#include "BrowseBoard.h"
#include "core/Module1.h"

namespace {

using browse_test::BrowseBoard;
using browse_test::DaysAgo;
using browse_test::Has;

// The table row of the topic whose subject is `subject`.
std::string RowOf(const std::string& body, const std::string& subject) {
    const std::size_t title = body.find("title=\"" + subject + "\">");
    if (title == std::string::npos) return "";
    const std::size_t start = body.rfind("<tr>", title);
    return body.substr(start, body.find("</tr>", title) + 5 - start);
}

class TopicListTest : public ::testing::Test {
protected:
    TopicListTest() { board.AddForum("Talk", "A", 1); }

    // Topics named by their age, replies given by count.
    long long Topic(const std::string& subject, double daysAgo, int replies = 0) {
        const long long id = board.AddTopic("Talk", "alice", subject, DaysAgo(daysAgo));
        if (replies) board.db.con.Execute("update post set replycount=? where postid=?", {replies, id});
        return id;
    }

    site::DriverResponse List(site::Fields query = {}, site::Fields cookies = {}) {
        query.insert(query.begin(), {"GroupName", "Talk"});
        return board.Get("list.asp", query, cookies);
    }

    BrowseBoard board;
};

TEST_F(TopicListTest, DayFilterFromQueryCookieOrDefault) {
    Topic("day1", 1);
    Topic("day8", 8);
    Topic("day40", 40);
    struct Case {
        const char* name;
        site::Fields query, cookies;
        const char* listed;    // the topics shown, by their first letters
        const char* selected;  // the marked option, "" for none
        const char* cookie;    // the DaysPrune cookie written, "" for none
    };
    const Case cases[] = {
        {"default", {}, {}, "day1", "5", ""},
        {"query", {{"DaysPrune", "10"}}, {}, "day1 day8", "10", ""},
        {"negative query", {{"DaysPrune", "-7"}}, {}, "day1", "", ""},
        {"letters in the query", {{"DaysPrune", "abc"}}, {{"DaysPrune", "abc"}}, "day1", "5", ""},
        {"all", {{"DaysPrune", "0"}}, {}, "day1 day8 day40", "0", ""},
        {"cookie", {}, {{"DaysPrune", "45"}}, "day1 day8 day40", "45", ""},
        {"bad cookie is repaired", {}, {{"DaysPrune", "abc"}}, "day1", "5", "5"},
        {"query before cookie", {{"DaysPrune", "10"}}, {{"DaysPrune", "0"}}, "day1 day8", "10", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        board.driver.jar.clear();
        const auto page = List(c.query, c.cookies);
        ASSERT_EQ(page.status, 200);
        std::string listed;
        for (const char* subject : {"day1", "day8", "day40"})
            if (Has(page.body, std::string(">") + subject + "</a>"))
                listed += (listed.empty() ? "" : " ") + std::string(subject);
        EXPECT_EQ(listed, c.listed);
        EXPECT_EQ(browse_test::Count(page.body, " selected>"), *c.selected ? 1u : 0u);
        if (*c.selected) {
            EXPECT_TRUE(Has(page.body, std::string("<option value=") + c.selected + " selected>"));
        }
        const auto* cookie = page.cookie("DaysPrune");
        EXPECT_EQ(cookie ? cookie->Value : "", c.cookie);
    }
}

TEST_F(TopicListTest, StateIconsNewHotAndClosed) {
    Topic("newHot", 1, 11);
    Topic("newPlain", 1, 3);
    Topic("oldHot", 5, 11);
    Topic("oldPlain", 5);
    board.db.con.Execute("update post set status='close' where postid=?", {Topic("closed", 1, 20)});

    const auto page = List({{"DaysPrune", "0"}}, {{"sessionLoginDT", DaysAgo(2)}});
    EXPECT_EQ(page.cookie("sessionLoginDT"), nullptr);
    const std::string cell = "<tr><td bgcolor=#f7f7f7 valign=MIDDLE align=center><img src=images/";
    EXPECT_EQ(RowOf(page.body, "newHot").rfind(cell + "hotclosedb.gif></td>", 0), 0u);
    EXPECT_EQ(RowOf(page.body, "newPlain").rfind(cell + "closedb.gif></td>", 0), 0u);
    EXPECT_EQ(RowOf(page.body, "oldHot").rfind(cell + "hotclosed.gif ></td>", 0), 0u);
    EXPECT_EQ(RowOf(page.body, "oldPlain").rfind(cell + "closed.gif ></td>", 0), 0u);
    EXPECT_EQ(RowOf(page.body, "closed").rfind("<tr><td bgColor=#f7f7f7 valign=MIDDLE><img src=images/lock.gif ></td>", 0),
              0u);

    // Without the cookie it is set to now, and nothing is new.
    board.driver.jar.clear();
    const auto first = List({{"DaysPrune", "0"}});
    ASSERT_NE(first.cookie("sessionLoginDT"), nullptr);
    EXPECT_FALSE(Has(first.body, "closedb.gif>"));
    EXPECT_FALSE(Has(first.body, "hotclosedb.gif>"));
}

TEST_F(TopicListTest, PageLinksOfLongThreads) {
    const struct {
        const char* subject;
        int replies;
        const char* links;
        const char* icon;
    } cases[] = {
        {"nine", 9, "", "closed.gif "},
        {"ten", 10, "[1] [2]", "closed.gif "},
        {"eleven", 11, "[1] [2]", "hotclosed.gif "},
        {"twenty", 20, "[1] [2] [3]", "hotclosed.gif "},
    };
    for (const auto& c : cases) Topic(c.subject, 1, c.replies);
    const std::string body = List().body;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.subject);
        const std::string row = RowOf(body, c.subject);
        EXPECT_TRUE(Has(row, std::string("images/") + c.icon + ">"));
        std::string links;
        for (int i = 1; i <= 3; ++i) {
            const std::string n = std::to_string(i);
            if (Has(row, "&page=" + n + ">[" + n + "]</a> ")) links += (links.empty() ? "[" : " [") + n + "]";
        }
        EXPECT_EQ(links, c.links);
        EXPECT_EQ(Has(row, "<img src=images/multipage.gif align=absmiddle width=12 height=14 alt='多页'>&nbsp;"),
                  *c.links != '\0');
    }
}

TEST_F(TopicListTest, TopicRowAsWritten) {
    const std::string time = DaysAgo(1);
    board.db.con.Execute("insert into post (forumname, username, subject, message, posttime, icon, hits) "
                         "values ('Talk', '张三', '<hi> & \"you\"', ?, ?, 3, 7)",
                         {std::string(1234, 'x'), time});
    const std::string body = List().body;
    EXPECT_TRUE(Has(body,
                    "<tr><td bgcolor=#f7f7f7 valign=MIDDLE align=center><img src=images/closed.gif ></td>"
                    "<TD bgcolor=#dedfdf align=center valign=MIDDLE><img src=icon/icon3.gif></td>"
                    "<td bgColor=#FED639 nowrap align=center valign=MIDDLE>7</td>"
                    "<TD bgcolor=#f7f7f7 valign=top><a href=NewsDetail.asp?id=1 title=\"&lt;hi&gt; &amp; &quot;you&quot;\">"
                    "&lt;hi&gt; &amp; &quot;you&quot;</a> <font class=topicsize>1,234 bytes</font></td>"
                    "<td bgcolor=#dedfdf valign=MIDDLE align=center><a href=viewuser.asp?username=%D5%C5%C8%FD "
                    "target=_blank>张三</a></td>"
                    "<TD  valign=middle align=center bgcolor=\"#f7f7f7\"><a href=NewsDetail.asp?id=1 target=_blank>"
                    "<img src=images/newwin.gif border=0></a></td>"
                    "<td align=center bgcolor=#f7f7f7 valign=MIDDLE>0</td>"
                    "<td NOWRAP bgcolor=#dedfdf  valign=MIDDLE>" +
                        core::FormatLastPostTime(platform::Variant(time)).str() +
                        " By <a href=viewuser.asp?username=%D5%C5%C8%FD target=_blank>张三</a></td></tr>"))
        << body;

    board.Set("DisplayTopicSize", 0);
    EXPECT_FALSE(Has(List().body, "topicsize"));
}

// A page's rows are built once for all visitors: a change to a topic shows
// on the next view all the same, and each visitor keeps their own new marks.
TEST_F(TopicListTest, RowsSeenAgainFollowChangesAndEachVisitor) {
    const long long id = Topic("before", 1, 2);
    Topic("older", 3);
    const std::string cell = "<tr><td bgcolor=#f7f7f7 valign=MIDDLE align=center><img src=images/";
    const std::string seen = List({{"DaysPrune", "0"}}, {{"sessionLoginDT", DaysAgo(2)}}).body;
    EXPECT_EQ(RowOf(seen, "before").rfind(cell + "closedb.gif></td>", 0), 0u);

    board.driver.jar.clear();
    const std::string later = List({{"DaysPrune", "0"}}, {{"sessionLoginDT", DaysAgo(0.5)}}).body;
    EXPECT_EQ(RowOf(later, "before").rfind(cell + "closed.gif ></td>", 0), 0u) << "another visitor's mark";
    EXPECT_EQ(RowOf(later, "before").substr(RowOf(later, "before").find("</td>")),
              RowOf(seen, "before").substr(RowOf(seen, "before").find("</td>")));

    platform::Connection other;
    other.Open(board.db.ConnectionString());
    other.Execute("update post set subject='after', replycount=12 where postid=?", {id});
    const std::string changed = List({{"DaysPrune", "0"}}).body;
    EXPECT_EQ(RowOf(changed, "before"), "");
    EXPECT_TRUE(Has(RowOf(changed, "after"), ">12</td>"));
    EXPECT_TRUE(Has(RowOf(changed, "after"), "hotclosed.gif"));
}

TEST_F(TopicListTest, PagingInTheDatabase) {
    board.Set("PageSize", 2);
    for (int age = 1; age <= 5; ++age) Topic("t" + std::to_string(age), age + 0.5);
    struct Case {
        const char* page;
        const char* shown;
    };
    const Case cases[] = {{"2", "t3 t4"}, {"9", "t5"}, {"abc", "t1 t2"}, {"0", "t1 t2"}, {"-1", "t1 t2"}, {"", "t1 t2"}};
    auto shown = [](const std::string& body) {
        std::string topics;
        for (int age = 1; age <= 5; ++age) {
            const std::string subject = "t" + std::to_string(age);
            if (Has(body, "\">" + subject + "</a>")) topics += (topics.empty() ? "" : " ") + subject;
        }
        return topics;
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.page);
        const std::string body = List({{"DaysPrune", "0"}, {"Page", c.page}}).body;
        EXPECT_EQ(shown(body), c.shown);
        EXPECT_TRUE(Has(body, "<a href=/list.asp?page=2&GroupName=Talk&DaysPrune=0>2</a>") ||
                    Has(body, "<font color=darkgray>2</font>"));
        EXPECT_TRUE(Has(body, "?page=3&GroupName=Talk&DaysPrune=0>3</a>") || Has(body, "<font color=darkgray>3</font>"));
    }

    // Without a stored count (an old database) the rows are counted.
    board.db.con.Execute("update forum set topiccount=NULL");
    EXPECT_EQ(shown(List({{"DaysPrune", "0"}, {"Page", "3"}}).body), "t5");
    // Filtered by days, only what passes is paged.
    const std::string recent = List({{"DaysPrune", "2"}}).body;
    EXPECT_EQ(shown(recent), "t1");
    EXPECT_FALSE(Has(recent, "Page : "));
}

TEST_F(TopicListTest, TopicWithoutCountersShowsItsOwnTimeAndAuthor) {
    const std::string time = DaysAgo(3);
    const long long id = board.AddTopic("Talk", "bob", "old", time);
    board.db.con.Execute(
        "update post set replycount=NULL, lastreplyposttime=NULL, lastreplyusername=NULL where postid=?", {id});
    const std::string row = RowOf(List({{"DaysPrune", "0"}}).body, "old");
    EXPECT_TRUE(Has(row, core::FormatLastPostTime(platform::Variant(time)).str() +
                             " By <a href=viewuser.asp?username=bob target=_blank>bob</a></td>"))
        << row;
    EXPECT_TRUE(Has(row, "<td align=center bgcolor=#f7f7f7 valign=MIDDLE></td>"));
    EXPECT_EQ(RowOf(List({{"DaysPrune", "365"}}).body, "old"), "");
}

TEST_F(TopicListTest, ForumNameIsQuotedInSqlAndEncodedInThePage) {
    const std::string name = "Tom's <b>\"x\"</b>";
    board.AddForum(name, "A", 2);
    board.AddTopic(name, "alice", "quoted", DaysAgo(1));
    const std::string body = board.Get("list.asp", {{"GroupName", "tom's <B>\"x\"</B>"}}).body;
    const std::string encoded = "tom's &lt;B&gt;&quot;x&quot;&lt;/B&gt;";
    EXPECT_TRUE(Has(body, "<input type=hidden name=GroupName value=\"" + encoded + "\">")) << body;
    EXPECT_TRUE(Has(body, "<font color=#000080><b>" + encoded + "</b></font>"));
    EXPECT_TRUE(Has(body, "align=absmiddle>&nbsp;&nbsp;" + encoded + "</p>"));
    EXPECT_TRUE(Has(body, "title=\"quoted\""));
}

TEST_F(TopicListTest, HeaderBlockByPageStyle) {
    board.db.con.Execute("insert into announce (subject, startdate, enddate) values ('<b>看这里</b>', ?, ?)",
                         {DaysAgo(1), DaysAgo(-1)});
    board.db.con.Execute("insert into announceto (id, forumname) values (1, 'talk')");
    std::string body = List().body;
    EXPECT_TRUE(Has(body, "<font color=#2f2f4f>版主：<b>mod</b></font><br><img src=images/announce.gif align=absmiddle>"
                          "&nbsp;<a href=ubbmisc.asp?action=getannounce&forum=Talk>&lt;b&gt;看这里&lt;/b&gt;</a></td>"));
    EXPECT_TRUE(Has(body, "<center><p><a href=posting.asp?action=newtopic&forum=Talk><img border=0 alt=新开主题 "
                          "src=\"images/postnew.jpg\"></a></p></center>"));
    EXPECT_TRUE(Has(body, "<select name=jumpTo"));
    EXPECT_TRUE(Has(body, "<title>贴子列表 - Tarnbell</title>"));

    board.Set("BBStyle", "CLUB");
    body = List().body;
    EXPECT_TRUE(Has(body, "<tr><td align=right colspan=2>"));
    EXPECT_TRUE(Has(body, "name=DaysPrune"));
    EXPECT_FALSE(Has(body, "<select name=jumpTo"));

    board.Set("BBStyle", "plain");
    body = List().body;
    EXPECT_FALSE(Has(body, "name=DaysPrune"));
    EXPECT_FALSE(Has(body, "版主："));
    EXPECT_TRUE(Has(body, "话题发起"));
    EXPECT_TRUE(Has(body, "已关闭的主题"));
}

TEST_F(TopicListTest, PrivateForumAsksForIdentity) {
    board.AddForum("Secret", "A", 2, "Private");
    board.AddTopic("Secret", "alice", "members only", DaysAgo(1));
    auto page = board.Get("list.asp", {{"GroupName", "Secret"}});
    EXPECT_TRUE(Has(page.body, "<b>加　密　论　坛</b>"));
    EXPECT_TRUE(Has(page.body, "<INPUT TYPE=HIDDEN NAME=forum value=\"Secret\">"));
    EXPECT_FALSE(Has(page.body, "members only"));
    EXPECT_FALSE(Has(page.body, "话题发起"));
    EXPECT_EQ(page.body.substr(page.body.size() - 14), "</body></html>");

    // Admitted in this session, the list shows.
    board.AddMember("joe", "pw");
    board.driver.Post("ubbmisc.asp", {{"action", "idcheck"}, {"UserName", "joe"}, {"Password", "pw"},
                                      {"Forum", "secret"}, {"url", "list.asp"}});
    EXPECT_TRUE(Has(board.Get("list.asp", {{"GroupName", "Secret"}}).body, ">members only</a>"));
}

// Pages of no length cannot be counted: the page ends in the error tail.
TEST_F(TopicListTest, PageLinksWithoutAPageLengthEndInTheDivisionError) {
    Topic("long", 1, 30);
    board.Set("HotCount", 0);
    const std::string body = List().body;
    EXPECT_TRUE(Has(body, "<p><b>错误号：11<br>错误描述：除数为零<br>错误来源：Orvane")) << body;
    EXPECT_EQ(body.substr(body.size() - 14), "</body></html>");
}

TEST_F(TopicListTest, UnknownForumAndDatabaseFailure) {
    const char* const unknown = "对不起，该论坛不存在，可能是你输错了url或正好管理员刚刚删除了该论坛！";
    EXPECT_TRUE(Has(board.Get("list.asp").body, unknown));
    const std::string body = board.Get("list.asp", {{"GroupName", "Nope"}}).body;
    EXPECT_TRUE(Has(body, unknown));
    EXPECT_EQ(body.substr(body.size() - 14), "</body></html>");

    board.db.con.Execute("drop table post");
    const std::string failed = List().body;
    EXPECT_TRUE(Has(failed, "<p><b>错误号：3000<br>错误描述：")) << failed;
    EXPECT_FALSE(Has(failed, "话题发起"));
    EXPECT_EQ(failed.substr(failed.size() - 14), "</body></html>");
}

}  // namespace
