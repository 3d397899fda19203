// The archived thread view (archivecontent.asp) through the request driver.
#include <string>

#include "ArchiveBoard.h"

namespace {

using browse_test::Count;
using browse_test::Has;

class ArchiveContentTest : public ArchiveTest {
protected:
    site::DriverResponse View(const site::Fields& query) { return driver.Get("archivecontent.asp", query); }

    // Which of the messages 正文<first>.. 正文<last> a page shows.
    static std::string Shown(const std::string& body, int first, int last) {
        std::string shown;
        for (int i = first; i <= last; ++i)
            if (Has(body, "<hr>正文" + std::to_string(i) + "<")) shown += std::to_string(i - first + 1) + " ";
        return shown;
    }
};

TEST_F(ArchiveContentTest, TenPostsAPage) {
    FileThread(1, 100, 9);   // 10 posts: one page
    FileThread(1, 200, 10);  // 11 posts: two
    std::string body = View({{"id", "100"}}).body;
    EXPECT_FALSE(Has(body, "这个话题共有"));
    EXPECT_FALSE(Has(body, "(页 "));
    EXPECT_EQ(Count(body, "<hr>正文1"), 10u);

    const struct {
        const char* page;
        std::string shown;
        int current;
    } cases[] = {
        {"", "1 2 3 4 5 6 7 8 9 10 ", 1}, {"2", "11 ", 2}, {"99", "11 ", 2}, {"40000", "11 ", 2},
        {"0", "1 2 3 4 5 6 7 8 9 10 ", 1}, {"abc", "1 2 3 4 5 6 7 8 9 10 ", 1},
    };
    for (const auto& c : cases) {
        body = View({{"id", "200"}, {"page", c.page}}).body;
        EXPECT_EQ(Shown(body, 200, 210), c.shown) << c.page;
        const std::string current = std::to_string(c.current);
        const std::string other = std::to_string(3 - c.current);
        EXPECT_EQ(Count(body, "这个话题共有2页：<font color=darkgray>"), c.current == 1 ? 2u : 0u);
        EXPECT_TRUE(Has(body, "<font color=darkgray>" + current + "</font>")) << c.page;
        EXPECT_TRUE(Has(body, "<a href=archivecontent.asp?id=200&archiveid=1&page=" + other + ">" + other + "</a>"));
        EXPECT_TRUE(Has(body, " (页 " + current + ")</span>"));
    }
}

TEST_F(ArchiveContentTest, RefusesWhatNamesNoArchivedTopic) {
    FileThread(1, 100, 1);
    const struct {
        site::Fields query;
        const char* message;
    } cases[] = {
        {{}, "参数错误！"},
        {{{"id", "0"}}, "参数错误！"},
        {{{"id", "-100"}}, "参数错误！"},
        {{{"id", "100 or 1=1"}}, "参数错误！"},
        {{{"id", "100"}, {"archiveid", "x"}}, "参数错误！"},
        {{{"id", "555"}}, "没有该主题！"},
        {{{"id", "100"}, {"archiveid", "2"}}, "没有该主题！"},  // not filed there
        {{{"id", "101"}}, "调用错误!"},                         // a reply
    };
    for (const auto& c : cases) {
        const std::string body = View(c.query).body;
        EXPECT_TRUE(Has(body, c.message)) << body;
        EXPECT_FALSE(Has(body, "正文")) << c.message;
        EXPECT_TRUE(Has(body, "</body></html>"));
    }
    // An archive that was deleted holds nothing any more.
    db.con.Execute("delete from archive where archiveid = 1");
    EXPECT_TRUE(Has(View({{"id", "100"}}).body, "没有该主题！"));
}

TEST_F(ArchiveContentTest, ShowsOneArchivesCopyOfATopicFiledTwice) {
    FileThread(1, 100, 1);
    File(2, 100, std::nullopt, "话题100", "2024-01-01 00:00:00", "灌水", "joe", "第二份正文");
    std::string body = View({{"id", "100"}, {"archiveid", "2"}}).body;
    EXPECT_EQ(Count(body, "<hr>第二份正文"), 1u);
    EXPECT_FALSE(Has(body, "正文100"));
    EXPECT_FALSE(Has(body, "正文101")) << "the reply stands in archive 1 only";
    EXPECT_TRUE(Has(body, "<a href=archivelist.asp?archiveid=2>旧帖</a>"));
    EXPECT_TRUE(Has(body, "posting.asp?Forum=2&Topic=100&"));
    EXPECT_TRUE(Has(body, "<a href=archive.asp?action=transferarchive&topic=100&archiveid=2>移动归档话题</a>"));
    EXPECT_TRUE(Has(body, "<a href=posting.asp?action=deletearchive&topic=100&archiveid=2>删除归档话题</a>"));

    // Without an archive: the lowest that holds the topic.
    body = View({{"id", "100"}}).body;
    EXPECT_EQ(Shown(body, 100, 101), "1 2 ");
    EXPECT_FALSE(Has(body, "第二份正文"));
    EXPECT_TRUE(Has(body, "archivelist.asp?archiveid=1\" selected"));
}

TEST_F(ArchiveContentTest, PrivateForumsTopicOnlyForAdmittedVisitors) {
    FileThread(1, 100, 1, "密室");
    std::string body = View({{"id", "100"}}).body;
    EXPECT_TRUE(Has(body, "<INPUT TYPE=HIDDEN NAME=action VALUE=idcheck>"));
    EXPECT_FALSE(Has(body, "话题100"));
    EXPECT_FALSE(Has(body, "正文"));

    EnterPrivateForum();
    body = View({{"id", "100"}}).body;
    EXPECT_TRUE(Has(body, "<hr>正文100"));
    EXPECT_TRUE(Has(body, "此话题先前所在的论坛：密室"));

    // A forum that no longer exists leaves its topics to everybody.
    FileThread(1, 200, 0, "已删除的版");
    driver.jar.clear();
    EXPECT_TRUE(Has(View({{"id", "200"}}).body, "<hr>正文200"));
}

TEST_F(ArchiveContentTest, AuthorPanelsWriteWhatMembersTypedAsText) {
    db.con.Execute("update register set url = 'JavaScript:alert(1)', icq = '12a', oicq = '<q>',"
                   " nickname = '<b>nick</b>', location = '<i>here</i>', email = 'a\"b@x.cn',"
                   " icon = 'javascript:x', signature = '' where username = 'joe'");
    db.con.Execute("update register set url = 'HTTPS://Example.com/Ann', icq = '12345', postcount = 7,"
                   " signdate = '2020-03-05 10:00:00' where username = 'ann'");
    File(1, 100, std::nullopt, "<b>题</b>", "2024-01-01 00:00:00", "灌水", "joe", "笑 :) [b]粗[/b]");
    File(1, 101, 100, "回复", "2024-01-01 00:00:00", "灌水", "ann");
    File(1, 102, 100, "回复", "2024-01-01 00:00:00", "灌水", "离开的人");
    const std::string body = View({{"id", "100"}}).body;
    EXPECT_FALSE(Has(body, "<b>nick</b>"));
    EXPECT_TRUE(Has(body, "<b>&lt;b&gt;nick&lt;/b&gt;</b>"));
    EXPECT_TRUE(Has(body, "来自：&lt;i&gt;here&lt;/i&gt;<br>"));
    EXPECT_FALSE(Has(body, "href=\"JavaScript:")) << "only web addresses are linked";
    EXPECT_FALSE(Has(body, "<img src=javascript:x"));
    EXPECT_FALSE(Has(body, "UIN=12a"));
    EXPECT_TRUE(Has(body, "UIN=12345"));
    EXPECT_TRUE(Has(body, "href=\"HTTPS://Example.com/Ann\""));
    EXPECT_TRUE(Has(body, "资格：2020-03-05<br>"));
    EXPECT_TRUE(Has(body, "&lt;q&gt;"));
    EXPECT_FALSE(Has(body, "<q>"));
    EXPECT_FALSE(Has(body, "a\"b@x.cn'"));
    EXPECT_TRUE(Has(body, "<title>&lt;b&gt;题&lt;/b&gt; - "));
    EXPECT_TRUE(Has(body, "<hr>笑 :) <B>粗</B>")) << "markup converted, smiley codes kept";
    EXPECT_FALSE(Has(body, "<p><hr>")) << "an empty signature";
    // A member who is gone: the stored name, no rank, no count.
    EXPECT_TRUE(Has(body, "离开的人<br>"));
    EXPECT_TRUE(Has(body, "发贴：0<br>来自：<br>资格：不详<br>"));
}

}  // namespace
