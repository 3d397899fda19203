// The archive topic list (archivelist.asp) and the board home's archive
// jump form, through the request driver.
#include <string>
#include <vector>

#include "ArchiveBoard.h"

namespace {

using browse_test::Count;
using browse_test::Has;

class ArchiveListTest : public ArchiveTest {
protected:
    ArchiveListTest() { Set("PageSize", 2); }

    site::DriverResponse List(const site::Fields& query) { return driver.Get("archivelist.asp", query); }

    // The topics a page lists, by postid, in page order.
    static std::string Listed(const std::string& body) {
        std::string ids;
        for (std::size_t at = body.find("archivecontent.asp?id="); at != std::string::npos;
             at = body.find("archivecontent.asp?id=", at + 1)) {
            const std::size_t from = at + 22;
            ids += (ids.empty() ? "" : ",") + body.substr(from, body.find('&', from) - from);
        }
        return ids;
    }
};

TEST_F(ArchiveListTest, PagesTheArchivesTopicsNewestFilingFirst) {
    // Topics 10..50 filed on days 1..5, each with a reply; one in archive 2.
    for (int i = 1; i <= 5; ++i) {
        File(1, i * 10, std::nullopt, "话题" + std::to_string(i), "2024-01-0" + std::to_string(i) + " 00:00:00");
        File(1, i * 10 + 1, i * 10, "回复");
    }
    File(2, 60, std::nullopt, "别处");
    const struct {
        const char* page;  // nullptr: no page field
        std::string listed;
    } cases[] = {
        {nullptr, "50,40"}, {"1", "50,40"}, {"2", "30,20"}, {"3", "10"},
        {"9", "10"},      // past the end: the last page
        {"40000", "10"},  // beyond a page number too
    };
    for (const auto& c : cases) {
        site::Fields query = {{"ArchiveID", "1"}};
        if (c.page) query.emplace_back("page", c.page);
        const std::string body = List(query).body;
        EXPECT_EQ(Listed(body), c.listed) << (c.page ? c.page : "none");
        EXPECT_TRUE(Has(body, "<A HREF=archivecontent.asp?id=" + c.listed.substr(0, 2) + "&archiveid=1>"));
        EXPECT_TRUE(Has(body, "&ArchiveID=1")) << "pager";  // 5 topics, 3 pages
    }
    const std::string body = List({{"archiveid", "1"}}).body;
    EXPECT_TRUE(Has(body, "<title>精华 - "));
    EXPECT_TRUE(Has(body, "[<font color=#009933><b>精华</b></font>]<br>好贴"));
    EXPECT_TRUE(Has(body, "<option value=\"archivelist.asp?archiveid=1\" selected >")) << "jump box";
}

TEST_F(ArchiveListTest, RefusesBadNumbersAndUnknownArchives) {
    const struct {
        site::Fields query;
        const char* message;
    } cases[] = {
        {{}, "参数必须是一个大于0的整数！"},
        {{{"ArchiveID", "0"}}, "参数必须是一个大于0的整数！"},
        {{{"ArchiveID", "-1"}}, "参数必须是一个大于0的整数！"},
        {{{"ArchiveID", "1 or 1=1"}}, "参数必须是一个大于0的整数！"},
        {{{"ArchiveID", "99"}}, "参数错误！"},
        {{{"ArchiveID", "1"}, {"page", ""}}, "参数错误！"},
        {{{"ArchiveID", "1"}, {"page", "x"}}, "参数错误！"},
        {{{"ArchiveID", "1"}, {"page", "0"}}, "参数错误！"},
    };
    for (const auto& c : cases) {
        const std::string body = List(c.query).body;
        EXPECT_TRUE(Has(body, c.message)) << body;
        EXPECT_FALSE(Has(body, "归档话题")) << c.message;
        EXPECT_TRUE(Has(body, "</body></html>"));
    }
}

TEST_F(ArchiveListTest, EmptyArchiveAndClubStyle) {
    std::string body = List({{"ArchiveID", "2"}}).body;
    EXPECT_TRUE(Has(body, "<td colspan=3>该档案尚无归档内容</td>"));
    EXPECT_FALSE(Has(body, "&ArchiveID=2")) << "no pager";
    EXPECT_TRUE(Has(body, "archivelist.asp?archiveid=2\" selected"));

    Set("BBStyle", "CLUB");
    body = List({{"ArchiveID", "2"}}).body;
    EXPECT_TRUE(Has(body, "[<font color=#009933><b>旧帖</b></font>]<br>老贴"));
    EXPECT_FALSE(Has(body, "selected")) << "no jump box";
}

TEST_F(ArchiveListTest, PrivateForumsTopicsOnlyForAdmittedVisitors) {
    File(1, 10, std::nullopt, "公开话题", "2024-01-01 00:00:00", "灌水");
    File(1, 20, std::nullopt, "密室话题", "2024-01-02 00:00:00", "密室");
    File(1, 30, std::nullopt, "旧版话题", "2024-01-03 00:00:00", "已删除的版");  // forum gone: public
    Set("PageSize", 10);
    std::string body = List({{"ArchiveID", "1"}}).body;
    EXPECT_EQ(Listed(body), "30,10");
    EXPECT_FALSE(Has(body, "密室话题"));

    EnterPrivateForum();
    body = List({{"ArchiveID", "1"}}).body;
    EXPECT_EQ(Listed(body), "30,20,10");
}

TEST_F(ArchiveListTest, NamesAndSubjectsAreWrittenAsText) {
    db.con.Execute("update archive set archivename = '<i>A&B</i>' where archiveid = 1");
    File(1, 10, std::nullopt, "<script>x</script>", "2024-01-01 00:00:00", "灌水", "<b>bob</b>");
    const std::string body = List({{"ArchiveID", "1"}}).body;
    EXPECT_TRUE(Has(body, "&lt;script&gt;x&lt;/script&gt;</A>"));
    EXPECT_TRUE(Has(body, "<TD>&lt;b&gt;bob&lt;/b&gt;</td>"));
    EXPECT_TRUE(Has(body, "<title>&lt;i&gt;A&amp;B&lt;/i&gt; - "));
    EXPECT_FALSE(Has(body, "<script>x"));
    EXPECT_FALSE(Has(body, "<i>A&B"));
}

// The description comes from the archive centre, where moderators set it.
TEST_F(ArchiveListTest, DescriptionIsWrittenAsTextInEveryStyle) {
    db.con.Execute("update archive set descript = '<script>steal()</script>&' where archiveid = 1");
    for (const char* style : {"UBB", "CLUB"}) {
        SCOPED_TRACE(style);
        Set("BBStyle", style);
        const std::string body = List({{"ArchiveID", "1"}}).body;
        EXPECT_TRUE(Has(body, "</font>]<br>&lt;script&gt;steal()&lt;/script&gt;&amp;</td>")) << body;
        EXPECT_FALSE(Has(body, "<script>steal"));
    }
}

// The home page's archive form is built once and kept in "ArchiveList"
// until the archive centre empties it.
TEST_F(ArchiveListTest, HomeArchiveFormFollowsItsCache) {
    const std::string option = "<option value=archivelist.asp?archiveid=";
    std::string body = Get("default.asp").body;
    EXPECT_EQ(Count(body, option), 2u);
    EXPECT_TRUE(Has(body, option + "2>&nbsp;&nbsp;&nbsp;&nbsp;旧帖&nbsp;&nbsp;&nbsp;&nbsp;"));

    db.con.Execute("insert into archive (archiveid, archivename) values (3, '新档')");
    EXPECT_FALSE(Has(Get("default.asp").body, "新档")) << "cached form kept";

    Set("ArchiveList", "NO");
    EXPECT_FALSE(Has(Get("default.asp").body, "<b>归档：</b>"));

    Set("ArchiveList", "<form>cached</form>");
    EXPECT_TRUE(Has(Get("default.asp").body, "<form>cached</form>"));

    host.application().Set("ArchiveList", platform::Variant());  // emptied by the archive centre
    body = Get("default.asp").body;
    EXPECT_EQ(Count(body, option), 3u);
    EXPECT_TRUE(Has(body, "新档"));

    db.con.Execute("delete from archive");
    Set("ArchiveList", "");
    EXPECT_FALSE(Has(Get("default.asp").body, "<b>归档：</b>"));
    EXPECT_EQ(host.application()("ArchiveList").str(), "NO");
}

}  // namespace
