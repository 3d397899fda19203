// jscode.asp: the feed files of the public forums and of the archive, byte
// for byte, their numbering and renewal, the checks before an export, and
// the files served at "/js/".
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "PanelBoard.h"
#include "platform/Charset.h"

namespace {

namespace fs = std::filesystem;
using admin_test::Has;
using browse_test::Count;

std::string Lines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    return platform::Utf8ToGbk(text);
}

class NewsFeedsTest : public ::testing::Test {
protected:
    // Forums in the order they were made: 新闻&区 (two topics and a reply),
    // Empty, Secret (private), Last (one topic).
    NewsFeedsTest() {
        board.Set("BBURL", "http://example.org/bbs/default.asp");
        board.AddForum("新闻&区", "Cat", 3);
        board.AddForum("Empty", "Cat", 1);
        board.AddForum("Secret", "Cat", 2, "Private");
        board.AddForum("Last", "Cat", 4);
        board.AddMember("mod", "pw");
        board.db.con.Execute("update register set status='moderater' where username='mod'");
        first = board.AddTopic("新闻&区", "boss", "old", "2026-01-01 10:00:00");
        second = board.AddTopic("新闻&区", "boss", "say \"hi\" \\ <b>", "2026-03-05 09:05:00");
        board.AddReply(second, "新闻&区", "boss", "2026-03-06 00:00:00");
        board.AddTopic("Secret", "boss", "hidden", "2026-03-07 00:00:00");
        board.AddTopic("Last", "boss", "last one", "2026-02-01 23:59:00");
    }

    site::DriverResponse Export(const std::string& action, const std::string& num = "5") {
        return board.AsBoss("jscode.asp", {{"Num", num}, {"Action", action}});
    }
    void Archive(int archive, long long postid, const std::string& forum, const std::string& subject,
                 const std::string& time, const platform::Variant& parent = platform::Variant::null()) {
        board.db.con.Execute("insert into archivelist (archiveid, postid, parentid, forumname, username, subject, "
                             "message, posttime) values (?, ?, ?, ?, 'boss', ?, 'text', ?)",
                             {archive, postid, parent, forum, subject, time});
    }
    fs::path Js(const std::string& file) const { return data.Path() / "js" / file; }

    admin_test::ScopedDataFolder data;
    admin_test::PanelBoard board;
    long long first = 0, second = 0;
};

TEST_F(NewsFeedsTest, ForumFeedsByteForByte) {
    const auto page = Export("ForumJS", "2");
    EXPECT_EQ(admin_test::FileContent(Js("1.js")),
              Lines({"document.write(\"<table border=0 width=100%>\");", "",
                     "document.write(\"<tr><td>新闻&amp;区</td></tr>\");", "",
                     "document.write(\"<tr><td><ul>\");", "",
                     "document.write(\"<li><a href=\\\"http://example.org/bbs/newsdetail.asp?id=" +
                         std::to_string(second) + "\\\" target=_blank>say &quot;hi&quot; \\\\ &lt;b&gt;</a>\");",
                     "document.write(\"&nbsp;<font size=1>(3/5&nbsp;9:5)</font>\");",
                     "document.write(\"<br>\");",
                     "document.write(\"<li><a href=\\\"http://example.org/bbs/newsdetail.asp?id=" +
                         std::to_string(first) + "\\\" target=_blank>old</a>\");",
                     "document.write(\"&nbsp;<font size=1>(1/1&nbsp;10:0)</font>\");",
                     "document.write(\"<br>\");",
                     "document.write(\"</ul></td></tr>\")", "",
                     "document.write(\"<tr><td align=right><a href=\\\"http://example.org/bbs/list.asp?groupname=" +
                         platform::UrlEncode("新闻&区") + "\\\">更多新闻&amp;区 >></a></td></tr></table>\");"}));
    // A forum without topics gets an empty list and no script tag.
    EXPECT_TRUE(Has(admin_test::FileContent(Js("2.js")), "document.write(\"<tr><td><ul>\");\r\n\r\ndocument.write(\"</ul>"));
    EXPECT_TRUE(Has(admin_test::FileContent(Js("3.js")), "last one"));
    EXPECT_FALSE(fs::exists(Js("4.js")));

    EXPECT_TRUE(Has(page.body, "<b>JsCode已经生成，请按以下语法在其他页面中引用</b><br>"
                               "<textarea class=smallarea cols=80 rows=10>"
                               "&lt;!-- 新闻&amp;amp;区 js 文件 --&gt;\r\n"
                               "&lt;script language=javascript src=http://example.org/bbs/js/1.js&gt;\r\n"
                               "&lt;!-- Last js 文件 --&gt;\r\n"
                               "&lt;script language=javascript src=http://example.org/bbs/js/3.js&gt;\r\n"
                               "</textarea>"))
        << page.body;
    // A whole page: its head, and its end after the text area.
    EXPECT_TRUE(Has(page.body, "<title>JavaScript 新闻 - ")) << page.body;
    EXPECT_TRUE(page.body.ends_with("</textarea></body></html>")) << page.body;

    const auto served = board.Get("js/1.js");
    EXPECT_EQ(served.contentType, "application/javascript; charset=gb2312");
    EXPECT_TRUE(Has(served.body, "更多新闻&amp;区 >>"));
}

TEST_F(NewsFeedsTest, EachExportRenewsTheNumberedFilesAndLeavesOthers) {
    fs::create_directories(Js(""));
    for (const char* file : {"2.js", "7.js", "keep.js", "archive.js"}) std::ofstream(Js(file)) << "old";
    board.db.con.Execute("update forum set [restrict]='private' where forumname='Last'");
    Export("forumjs");
    EXPECT_NE(admin_test::FileContent(Js("2.js")), "old");
    for (const char* gone : {"3.js", "7.js"}) EXPECT_FALSE(fs::exists(Js(gone))) << gone;
    for (const char* kept : {"keep.js", "archive.js"}) EXPECT_EQ(admin_test::FileContent(Js(kept)), "old") << kept;
}

TEST_F(NewsFeedsTest, ArchiveFeedLinksTheArchivedThreadAndLeavesOutPrivateForums) {
    Archive(1, 900, "新闻&区", "归档的", "2025-12-31 08:07:00");
    Archive(1, 901, "Secret", "secret archived", "2026-01-02 00:00:00");
    Archive(1, 902, "新闻&区", "a reply", "2026-01-03 00:00:00", 900);
    Archive(2, 903, "Gone forum", "older", "2025-11-01 00:00:00");
    const auto page = Export("archivejs", "5");
    const std::string feed = admin_test::FileContent(Js("archive.js"));
    EXPECT_EQ(feed, Lines({"document.write(\"<table border=0 width=100%>\");", "",
                           "document.write(\"<tr><td>精华归档</td></tr>\");", "",
                           "document.write(\"<tr><td><ul>\");", "",
                           "document.write(\"<li><a href=\\\"http://example.org/bbs/archivecontent.asp?id=900&archiveid=1\\\" "
                           "target=_blank>归档的</a>\");",
                           "document.write(\"&nbsp;<font size=1>(12/31&nbsp;8:7)</font>\");",
                           "document.write(\"<br>\");",
                           "document.write(\"<li><a href=\\\"http://example.org/bbs/archivecontent.asp?id=903&archiveid=2\\\" "
                           "target=_blank>older</a>\");",
                           "document.write(\"&nbsp;<font size=1>(11/1&nbsp;0:0)</font>\");",
                           "document.write(\"<br>\");",
                           "document.write(\"</ul></td></tr>\")", "",
                           "document.write(\"<tr><td align=right><a href=\\\"http://example.org/bbs\\\">"
                           "更多精华归档>></a></td></tr></table>\");"}));
    EXPECT_TRUE(Has(page.body, "&lt;!-- 归档精华 js 文件 --&gt;\r\n"
                               "&lt;script language=javascript src=http://example.org/bbs/js/archive.js&gt;\r\n"
                               "</textarea>"));
}

TEST_F(NewsFeedsTest, AnEmptyArchiveWritesNothingAndEmptiesAnEarlierFeed) {
    board.Set("BBURL", "http://example.org/");
    const auto page = Export("archivejs");
    EXPECT_TRUE(Has(page.body, "<textarea class=smallarea cols=80 rows=10></textarea>"));
    EXPECT_FALSE(fs::exists(Js("archive.js")));
    Export("forumjs");
    EXPECT_TRUE(Has(admin_test::FileContent(Js("3.js")), "http://example.org/newsdetail.asp?id="));

    // The only archived topic's forum turns private.
    Archive(1, 900, "Last", "归档的", "2025-12-31 08:07:00");
    Export("archivejs");
    EXPECT_TRUE(Has(admin_test::FileContent(Js("archive.js")), "id=900"));
    board.db.con.Execute("update forum set [restrict]='private' where forumname='Last'");
    EXPECT_TRUE(Has(Export("archivejs").body, "<textarea class=smallarea cols=80 rows=10></textarea>"));
    EXPECT_FALSE(Has(admin_test::FileContent(Js("archive.js")), "id=900"));
}

TEST_F(NewsFeedsTest, ChecksComeBeforeAnyExport) {
    const struct {
        site::Fields fields;
        const char* message;
    } cases[] = {
        {{{"Num", "0"}, {"Action", "forumjs"}, {"UserName", "boss"}, {"Password", "secret"}}, "参数错误！"},
        {{{"Num", "-3"}, {"Action", "forumjs"}, {"UserName", "boss"}, {"Password", "secret"}}, "参数错误！"},
        {{{"Num", "ten"}, {"Action", "forumjs"}, {"UserName", "boss"}, {"Password", "secret"}}, "参数错误！"},
        {{{"Num", "0"}, {"Action", "forum"}}, "参数错误！"},
        {{{"Num", "5"}, {"Action", "forum"}, {"UserName", "boss"}, {"Password", "secret"}}, "参数错误！"},
        {{{"Num", "5"}, {"Action", "forumjs"}, {"UserName", "boss"}}, "对不起，您必须输入您的用户名和密码！"},
        {{{"Num", "5"}, {"Action", "forumjs"}, {"UserName", "mod"}, {"Password", "pw"}},
         "对不起，您没有权限执行该操作！"},
        {{{"Num", "5"}, {"Action", "forumjs"}, {"UserName", "boss"}, {"Password", "wrong"}},
         "对不起，您没有权限执行该操作！"},
    };
    for (const auto& c : cases) {
        const auto page = board.Post("jscode.asp", c.fields);
        EXPECT_TRUE(Has(page.body, c.message)) << page.body;
    }
    EXPECT_FALSE(fs::exists(Js("")));
    // Without any of its fields the page offers them.
    EXPECT_TRUE(Has(board.PanelGet("jscode.asp").body, "<select name=Action>"));
}

}  // namespace
