// The thread view (newsdetail.asp) on a real database through the board
// host: paging, the step to neighbouring topics, refusals, the hit counter,
// private forums, topic states, both page styles, and the encoding of what
// members typed into their profiles.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "BrowseBoard.h"
#include "board/browse/ThreadHits.h"
#include "platform/Convert.h"
#include "platform/Recordset.h"
#include "platform/StopHooks.h"

namespace {

using platform::Variant;

using browse_test::Has;

class ThreadViewTest : public ::testing::Test, protected browse_test::BrowseBoard {
protected:
    void SetUp() override {
        host.application().Set("HotCount", 3);
        db.con.Execute("insert into forum (forumname) values ('灌水'), ('技术')");
        db.con.Execute(
            "insert into register (username, password, email, emailview, location, url, icq, oicq, signature,"
            " postcount, signdate) values ('joe', 'pw', 'joe@example.com', 1, '上海', 'www.Joe.example', '12345',"
            " '678', '[b]joe[/b] :)', 40, '2020-03-05 10:00:00')");
    }

    // A post of `forum`; a reply when `parent` is given.
    long long AddPost(const std::string& forum, const std::string& subject, const std::string& message,
                      std::optional<long long> parent = std::nullopt, const std::string& user = "joe") {
        db.con.Execute(
            "insert into post (parentid, forumname, username, subject, message, icon, smiles, usesign)"
            " values (?, ?, ?, ?, ?, 2, 1, 1)",
            {parent ? Variant(*parent) : Variant::null(), forum, user, subject, message});
        return db.con.LastIdentity();
    }

    // A topic of `forum` with `replies` replies; messages "正文1", "正文2", ...
    long long AddThread(const std::string& forum, int replies) {
        const long long topic = AddPost(forum, "主题", "正文1");
        for (int i = 2; i <= replies + 1; ++i) AddPost(forum, "回复" + std::to_string(i), "正文" + std::to_string(i), topic);
        return topic;
    }

    site::DriverResponse View(const site::Fields& query) { return driver.Get("newsdetail.asp", query); }
    site::DriverResponse View(long long id) { return View({{"id", std::to_string(id)}}); }

    long Hits(long long postid) {
        platform::Recordset rs;
        rs.Open("select hits from post where postid = ?", db.con, {Variant(postid)});
        return platform::CLng(rs.Fields(0));
    }
};

// Which of the thread's messages a page shows.
std::string ShownPosts(const std::string& body, int posts) {
    std::string shown;
    for (int i = 1; i <= posts; ++i)
        if (Has(body, "正文" + std::to_string(i) + "<")) shown += std::to_string(i);
    return shown;
}

TEST_F(ThreadViewTest, PagesByHotCount) {
    const long long topic = AddThread("灌水", 6);  // 7 posts, 3 a page
    const std::string id = std::to_string(topic);
    const struct {
        std::optional<std::string> page;
        std::string posts;  // messages shown
        int current;        // page marked as current
    } cases[] = {
        {std::nullopt, "123", 1}, {"1", "123", 1}, {"2", "456", 2}, {"3", "7", 3},
        {"9", "7", 3},  // beyond the last: the last
        {"0", "123", 1}, {"-2", "123", 1}, {"x", "123", 1}, {"2.4", "456", 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.page.value_or("(none)"));
        site::Fields query{{"id", id}};
        if (c.page) query.emplace_back("page", *c.page);
        const std::string body = View(query).body;
        EXPECT_EQ(ShownPosts(body, 7), c.posts);
        EXPECT_TRUE(Has(body, "这个话题共有3页："));
        EXPECT_TRUE(Has(body, "<font color=darkgray>" + std::to_string(c.current) + "</font> "));
        EXPECT_TRUE(Has(body, " (页 " + std::to_string(c.current) + ")"));
        // The heading shows the subject of the page's first post.
        EXPECT_TRUE(Has(body, c.current == 1 ? "<b>主题:&nbsp;&nbsp;主题</b>"
                                                  : "<b>主题:&nbsp;&nbsp;回复" + std::to_string(c.current * 3 - 2)));
        // The first post of every page has the second colour.
        EXPECT_TRUE(Has(body, "</td></tr><tr bgcolor=\"#dedfdf\"><td nowrap valign=top width=18%>joe<br>"));
    }
    EXPECT_TRUE(Has(View({{"id", id}, {"page", "2"}}).body,
                         "<a href=newsdetail.asp?id=" + id + "&page=1>1</a> <font color=darkgray>2</font> "
                         "<a href=newsdetail.asp?id=" + id + "&page=3>3</a> </td>"));
    // Plain blanks join the page numbers, so that a long list wraps.
    EXPECT_FALSE(Has(View({{"id", id}, {"page", "2"}}).body, "</a>&nbsp;<font color=darkgray>"));
    // 32768 does not fit a page number: the run-time error page.
    const std::string overflow = View({{"id", id}, {"page", "32768"}}).body;
    EXPECT_TRUE(Has(overflow, "错误号：6<br>错误描述："));
    EXPECT_EQ(overflow.substr(overflow.size() - 14), "</body></html>");
}

TEST_F(ThreadViewTest, ShortThreadHasOnePageAndNoPageList) {
    const long long topic = AddThread("灌水", 2);
    const std::string body = View(topic).body;
    EXPECT_EQ(ShownPosts(body, 3), "123");
    EXPECT_FALSE(Has(body, "这个话题共有"));
    EXPECT_FALSE(Has(body, "(页 "));
    EXPECT_TRUE(Has(body, "<table border=0  width=95%><tr><td></td><td align=right>"));
    // Only the topic's own post offers the favourite link.
    EXPECT_EQ(body.find("favor.asp?id="), body.rfind("favor.asp?id="));
}

TEST_F(ThreadViewTest, FindThreadStepsToTheNeighbouringTopicOfTheForum) {
    const long long first = AddThread("灌水", 1);
    AddThread("技术", 0);  // another forum's topic between them is skipped
    const long long second = AddPost("灌水", "第二个", "第二个正文");
    auto step = [&](long long from, const std::string& go, const std::string& forum = "灌水") {
        return View({{"action", "findthread"}, {"forum", forum}, {"go", go}, {"id", std::to_string(from)}}).body;
    };
    EXPECT_TRUE(Has(step(first, "NEWER"), "第二个正文"));
    EXPECT_TRUE(Has(step(second, "older"), "正文1"));

    const std::string newest = step(second, "newer");
    EXPECT_TRUE(Has(newest, "对不起，没有比该主题更新的贴子了！按浏览器的后退按钮可退回到上一个主题！"));
    EXPECT_TRUE(Has(newest, "<option selected value=\"list.asp?GroupName=%B9%E0%CB%AE\">"));
    EXPECT_TRUE(Has(step(first, "older"), "对不起，没有比该主题更旧的贴子了！"));

    for (const std::string& bad : {step(first, "sideways"), step(first, "newer", "")})
        EXPECT_TRUE(Has(bad, "调用参数错误！请联系系统管理员!"));
    // A forum name is a value, not SQL.
    EXPECT_TRUE(Has(step(first, "newer", "灌水' or '1'='1"), "对不起，没有比该主题更新的贴子了！"));
}

TEST_F(ThreadViewTest, RefusesWhatIsNoTopic) {
    const long long topic = AddThread("灌水", 1);
    const long long orphan = AddPost("已删除的论坛", "孤儿", "孤儿正文");
    const struct {
        site::Fields query;
        std::string message;
    } cases[] = {
        {{}, "调用参数错误，请检查！"},
        {{{"id", "abc"}}, "调用参数错误，请检查！"},
        {{{"id", "0"}}, "调用参数错误，请检查！"},
        {{{"id", "1 or 1=1"}}, "调用参数错误，请检查！"},
        {{{"id", "9999"}}, "没有该主题！"},
        {{{"id", std::to_string(topic + 1)}}, "调用错误!"},  // a reply's id
        {{{"id", std::to_string(orphan)}}, "对不起，该论坛不存在，可能是你输错了url或正好管理员刚刚删除了该论坛！"},
    };
    for (const auto& c : cases) {
        const std::string body = View(c.query).body;
        EXPECT_TRUE(Has(body, "<p><b>" + c.message + "</b>")) << c.message;
        EXPECT_EQ(body.substr(body.size() - 14), "</body></html>");
    }
    EXPECT_EQ(Hits(topic), 0);
}

TEST_F(ThreadViewTest, EachViewCountsAHitOnEveryPostOfTheThread) {
    const long long topic = AddThread("灌水", 4);
    const long long other = AddThread("灌水", 0);
    View({{"id", std::to_string(topic)}, {"page", "2"}});
    for (long long post = topic; post <= topic + 4; ++post) EXPECT_EQ(Hits(post), 1) << post;

    // Views that follow closely are tallied and written together.
    View(topic);
    View(topic);
    board::FlushThreadViews(db.con);
    for (long long post = topic; post <= topic + 4; ++post) EXPECT_EQ(Hits(post), 3) << post;
    EXPECT_EQ(Hits(other), 0);
}

TEST_F(ThreadViewTest, HitsFindingTheWriteLockTakenAreKeptForTheNextWrite) {
    const long long topic = AddThread("灌水", 1);
    platform::Connection writer;  // another request in the middle of a write
    writer.OpenFile(db.Path());
    writer.BeginTrans();

    const std::string body = View(topic).body;  // does not wait for the writer
    EXPECT_TRUE(Has(body, "正文2"));
    EXPECT_FALSE(Has(body, "错误号"));
    EXPECT_EQ(Hits(topic), 0);

    writer.RollbackTrans();
    platform::RunStopHooks();  // as the server does when it stops
    EXPECT_EQ(Hits(topic), 1);
    EXPECT_EQ(Hits(topic + 1), 1);
}

TEST_F(ThreadViewTest, PrivateForumAsksForIdentityFirst) {
    db.con.Execute("insert into forum (forumname, [restrict], forumpassword) values ('密室', 'private', 'Pw')");
    const long long topic = AddThread("密室", 0);

    const std::string form = View(topic).body;
    EXPECT_TRUE(Has(form, "<b>加　密　论　坛</b>"));
    EXPECT_FALSE(Has(form, "正文1"));
    EXPECT_TRUE(Has(form, "<title>Tarnbell</title>")) << "the title names no topic to a refused visitor";
    EXPECT_FALSE(Has(form, "主题"));
    EXPECT_EQ(Hits(topic), 0);

    driver.Post("ubbmisc.asp", {{"action", "idcheck"}, {"UserName", "joe"}, {"Password", "pw"},
                                  {"Forum", "密室"}, {"ForumPassword", "Pw"}});
    const std::string admitted = View(topic).body;
    EXPECT_TRUE(Has(admitted, "正文1"));
    EXPECT_TRUE(Has(admitted, "<title>主题 - Tarnbell</title>"));
}

TEST_F(ThreadViewTest, TopicStateDecidesLockRowRepliesAndOptions) {
    const struct {
        Variant status;
        bool locked, replies;
        std::string option;
    } cases[] = {
        {"open", false, true, "Posting.asp?action=CloseThread&topic="},
        {"Close", true, false, "Posting.asp?action=OpenThread&topic="},
        {Variant::null(), false, false, "Posting.asp?action=CloseThread&topic="},
    };
    for (const auto& c : cases) {
        const long long topic = AddThread("灌水", 0);
        db.con.Execute("update post set status = ? where postid = ?", {c.status, Variant(topic)});
        const std::string body = View(topic).body;
        SCOPED_TRACE(c.status.str());
        EXPECT_EQ(Has(body, "<img src=images/lock.gif>该话题已被锁定，不再接受回复&nbsp;"), c.locked);
        EXPECT_EQ(Has(body, "alt=回复该主题"), c.replies);
        EXPECT_TRUE(Has(body, c.option));
    }
}

TEST_F(ThreadViewTest, PostShowsConvertedTextHistoryAndSignature) {
    const long long topic = AddPost("灌水", "主题", "[b]粗[/b] :) <i>");
    db.con.Execute("update post set edithistory = '<font>改过</font>' where postid = ?", {Variant(topic)});
    const long long plain = AddPost("灌水", "回复", ":)", topic);
    db.con.Execute("update post set smiles = 0, usesign = 0 where postid = ?", {Variant(plain)});
    const long long empty = AddPost("灌水", "回复", "", topic);
    db.con.Execute("update post set edithistory = '<font>看不见</font>' where postid = ?", {Variant(empty)});

    const std::string body = View(topic).body;
    EXPECT_TRUE(Has(body, "<hr><B>粗</B> <IMG SRC=\"images/smile.gif\"> &lt;i&gt;"
                               "<div align=right><p align=right><font>改过</font></p></div>"
                               "<p><hr><B>joe</B> :)</td>"));  // the signature gets no smileys
    EXPECT_TRUE(Has(body, "<hr>:)</td>"));           // smileys off, no signature
    EXPECT_FALSE(Has(body, "看不见"));               // no text, no history
}

TEST_F(ThreadViewTest, AuthorWithoutMemberRow) {
    const long long topic = AddPost("灌水", "主题", "正文", std::nullopt, "走了的人");
    const std::string body = View(topic).body;
    EXPECT_TRUE(Has(body, "<td nowrap valign=top width=18%>走了的人<br><img src=icon/user.gif vspace=5><br>"
                               "<b>初级用户</b><br>发贴：0<br>来自：<br>注册：不详<br></td>"));
    for (const char* absent : {"images/email.gif", "images/home.gif", "icqmessage", "images/oicq.gif", "<p><hr>"})
        EXPECT_FALSE(Has(body, absent)) << absent;
}

TEST_F(ThreadViewTest, MemberPanelAndLinks) {
    const long long topic = AddPost("灌水", "主题", "正文");
    const std::string body = View(topic).body;
    EXPECT_TRUE(Has(body, "<td nowrap valign=top width=18%>joe<br><img src=icon/user1.gif vspace=5><br>"
                               "<b>高级用户</b><br>发贴：41<br>来自：上海<br>注册：2020-03-05<br></td>"));
    EXPECT_TRUE(Has(body, "<img align=absmiddle  border=0 src=icon/icon2.gif>&nbsp;发表于 "));
    EXPECT_TRUE(Has(body, "<a href=\"mailto:joe@example.com\"><img src=images/email.gif border=0 alt=\"按此发邮件给joe\"></a>"));
    EXPECT_TRUE(Has(body, "<a href=\"http://www.Joe.example\" target=_blank><img src=images/home.gif"));
    // The ICQ picture is the board's own: no reader's address goes to another host.
    EXPECT_TRUE(Has(body, "<a href=\"javascript:winopen('ubbmisc.asp?action=icqmessage&UIN=12345')\">"
                               "<img src=images/icq.gif width=18 height=18 border=0 alt=\"joe的ICQ号码：12345\"></a>"));
    EXPECT_FALSE(Has(body, "src=http"));
    EXPECT_TRUE(Has(body, "<img src=images/oicq.gif border=0 alt=\"joe的oicq是678\">"));
    EXPECT_TRUE(Has(body, "<a href=posting.asp?quotenum=" + std::to_string(topic) +
                               "&action=replywquote&forum=%B9%E0%CB%AE&topic=" + std::to_string(topic) +
                               "&TopicSubject=%D6%F7%CC%E2>"));

    db.con.Execute("update register set emailview = 0");
    EXPECT_TRUE(Has(View(topic).body, "<img src=images/email.gif border=0 alt=该用户不允许显示它的电子邮件>&nbsp;"));
}

TEST_F(ThreadViewTest, ProfileTextsAreEncoded) {
    db.con.Execute(
        "update register set location = '<b>x</b>', email = 'a\"b@x.com><script>', url = 'javascript:alert(1)',"
        " icq = '1 onmouseover=alert(1)', oicq = '\"><script>'");
    const long long topic = AddPost("灌水", "<script>题</script>", "正文");
    const std::string body = View(topic).body;
    EXPECT_FALSE(Has(body, "<script>"));
    EXPECT_FALSE(Has(body, "<b>x</b>"));
    EXPECT_TRUE(Has(body, "来自：&lt;b&gt;x&lt;/b&gt;<br>"));
    EXPECT_TRUE(Has(body, "<a href=\"mailto:a&quot;b@x.com&gt;&lt;script&gt;\">"));
    EXPECT_TRUE(Has(body, "<a href=\"http://javascript:alert(1)\" target=_blank>"));
    EXPECT_FALSE(Has(body, "icqmessage"));  // not a number: no ICQ link
    EXPECT_TRUE(Has(body, "alt=\"joe的oicq是&quot;&gt;&lt;script&gt;\""));
    EXPECT_TRUE(Has(body, "<title>&lt;script&gt;题&lt;/script&gt; - "));
}

TEST_F(ThreadViewTest, ClubStyleMovesLinksBelowThePost) {
    host.application().Set("BBSTYLE", "club");
    const long long topic = AddPost("灌水", "主题", "正文");
    const std::string body = View(topic).body;
    EXPECT_FALSE(Has(body, "(页 "));
    EXPECT_TRUE(Has(body, "<table border=0 width=100%><tr><td width=18><img align=absmiddle  border=0 "
                               "src=icon/icon2.gif></td><td>发表于 "));
    const std::size_t text = body.find("<hr>正文<p><hr><B>joe</B> :)<hr>");
    ASSERT_NE(text, std::string::npos);
    EXPECT_LT(body.find("images/icq.gif"), text);
    EXPECT_LT(body.find("action=getip"), text);
    EXPECT_GT(body.find("viewuser.asp"), text);
    EXPECT_FALSE(Has(body, "跳转到"));  // no jump box in this style
}

// A page's posts are built once for every visitor: an edit shows on the
// next view all the same, and so does another page style.
TEST_F(ThreadViewTest, PostsSeenAgainFollowEditsAndTheStyle) {
    const long long topic = AddThread("灌水", 1);
    EXPECT_TRUE(Has(View(topic).body, "正文2"));
    EXPECT_TRUE(Has(View(topic).body, "正文2"));
    platform::Connection other;
    other.Open(db.ConnectionString());
    other.Execute("update post set message='改过了' where parentid=?", {Variant(topic)});
    const std::string edited = View(topic).body;
    EXPECT_FALSE(Has(edited, "正文2"));
    EXPECT_TRUE(Has(edited, "改过了"));

    host.application().Set("BBSTYLE", "club");
    EXPECT_TRUE(Has(View(topic).body, "<table border=0 width=100%><tr><td width=18>"));
}

TEST_F(ThreadViewTest, DatabaseFailureEndsInTheErrorTail) {
    const long long topic = AddThread("灌水", 1);
    db.con.Execute("drop table register");
    const std::string body = View(topic).body;
    EXPECT_TRUE(Has(body, "错误号："));
    EXPECT_TRUE(Has(body, "no such table"));
    EXPECT_EQ(body.substr(body.size() - 22), "</table></body></html>");
    EXPECT_EQ(Hits(topic), 0);
}

}  // namespace
