#include <gtest/gtest.h>

#include <string>

#include "TarnbellPage.h"
#include "core/PageFrame.h"
#include "platform/Error.h"

namespace {

using testing_support::TarnbellPage;

const std::string kHeadStart =
    "<html><head><link rel=stylesheet type=text/css href=DEFAULT.CSS><meta HTTP-EQUIV=Expires CONTENT=0>"
    "<meta HTTP-EQUIV=Content-Type content=\"text/html; charset=gb2312\">";
const std::string kDefaultHead = kHeadStart + "<title>Tarnbell</title></head><body  bgcolor=\"#FFFFFF\" > ";
const std::string kDefaultLogo =
    "<a href=default.asp><img style=border-color:#000000 border=1 src=\"images/title.gif\" WIDTH=276 HEIGHT=75></a>";

TEST(PageHead, DefaultAndSetColours) {
    {
        TarnbellPage tp;
        tp.Start();
        EXPECT_EQ(core::PageHead("<i>最热门25条贴子</i> - Tarnbell"),
                  kHeadStart + "<title><i>最热门25条贴子</i> - Tarnbell</title></head><body  bgcolor=\"#FFFFFF\" > ");
    }
    TarnbellPage tp;
    tp.app().Set("BGColor", "#eeeeee");
    tp.app().Set("PageBackGround", "bg.gif");
    tp.Start();
    EXPECT_EQ(core::PageHead("T"),
              kHeadStart + "<title>T</title></head><body background=\"images/bg.gif\" bgcolor=\"#eeeeee\" > ");
}

TEST(BoardHeader, ClubHeaderAndLinkBar) {
    TarnbellPage tp;
    tp.app().Set("NavBar", "<a href=x.asp>X</a>");
    tp.app().Set("Logo", "<b>L</b>");
    tp.app().Set("TableWidth", "80%");
    tp.Start();
    EXPECT_EQ(tp.page().GetClubHeader(),
              "<table border=0 width=80%><tr><td align=center><b>L</b></td></tr>"
              "<tr><td align=right><p><a href=x.asp>X</a></p></td></tr></table>");
    EXPECT_EQ(core::GetNavBarHtml(), "<a href=x.asp>X</a>");
}

// The page start: the visitor in the online list, the head, the opening and
// the board header of the page style; no header for a style the board does
// not know.
TEST(StartPage, WritesTheHeadAndTheHeaderOfThePageStyle) {
    const struct {
        const char* style;
        const char* header;
    } cases[] = {
        {"UBB", "<ubb>"},
        {"CLUB",
         "<table border=0 width=95%><tr><td align=center><b>L</b></td></tr>"
         "<tr><td align=right><p>N</p></td></tr></table>"},
        {"OTHER", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.style);
        TarnbellPage tp;
        tp.app().Set("BBStyle", c.style);
        tp.app().Set("Logo", "<b>L</b>");
        tp.app().Set("NavBar", "N");
        core::Tarnbell& page = tp.Start();
        std::string shown;
        page.RunPage(core::Closing::Nothing,
                     [&](core::Page& p) { shown = page.StartPage(p, {"列表", "T", "<center>", "<ubb>"}); });
        EXPECT_EQ(tp.Body(), kHeadStart + "<title>T</title></head><body  bgcolor=\"#FFFFFF\" > <center>" + c.header);
        EXPECT_EQ(shown, "GUEST ");
        EXPECT_EQ(tp.app()("Online").array().at(5, 0).str(), "列表");
    }
}

TEST(ErrorForm, ReplacesWhatThePageWroteWithTheMessage) {
    TarnbellPage tp;
    tp.Start().Response().Write("<table><tr><td>half a page");
    tp.page().ErrorForm("对不起，<a href=signup.asp>注册</a>");
    EXPECT_EQ(tp.Body(), kDefaultHead + "<table border=0 width=95% align=center><tr><td><p>" + kDefaultLogo +
                             "</p></td></tr><tr bgcolor=\"#f7f7f7\"><td><p><b>对不起，<a href=signup.asp>注册</a></b>"
                             "</td></tr></table>");
}

std::string WaitPage(const std::string& seconds, const std::string& address) {
    return kDefaultHead + "<br><br><ul><p><FONT COLOR=#000080><B>已经完成，您将在" + seconds +
           "秒内被自动转送到论坛。</b></font></p><P><A HREF=\"" + address +
           "\"><b>如果你不想再等或浏览器没有自动转移到目的地，请按这里。</b></A></p></ul>"
           "<meta http-equiv=Refresh content=\"" + seconds + "; URL='" + address + "'\">";
}

TEST(Wait, DefaultAndZeroWaitTime) {
    TarnbellPage tp;
    tp.Start().Response().Write("earlier output");
    tp.page().Wait("已经完成", "list.asp?GroupName=abc", "论坛");
    EXPECT_EQ(tp.Body(), WaitPage("2", "list.asp?GroupName=abc"));
    tp.page().Wait("已经完成", "/list.asp?GroupName=abc", "论坛", 0);
    EXPECT_EQ(tp.Body(), WaitPage("0", "/list.asp?GroupName=abc"));
}

TEST(Wait, FollowsOnlyAddressesOfThisBoardAndEncodesThem) {
    const struct {
        const char* url;
        const char* written;
    } cases[] = {
        {"list.asp?a=1&b=\"x\"", "list.asp?a=1&amp;b=&quot;x&quot;"},
        {"newsdetail.asp?id=3#r:2", "newsdetail.asp?id=3#r:2"},
        {"http://evil.example/", "default.asp"},
        {"javascript:alert(1)", "default.asp"},
        {"JavaScript:alert(1)", "default.asp"},
        {"//evil.example/x", "default.asp"},
        {"/\\evil.example", "default.asp"},
        {"\\\\evil.example", "default.asp"},
        {" //evil.example", "default.asp"},
        {"java\tscript:alert(1)", "default.asp"},
        {"", "default.asp"},
    };
    TarnbellPage tp;
    tp.Start();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.url);
        tp.page().Wait("已经完成", c.url, "论坛");
        EXPECT_EQ(tp.Body(), WaitPage("2", c.written));
    }
}

// The shared tail: refusals and run-time errors reach the closing text.
TEST(RunPage, EveryPathEndsWithTheClosingText) {
    TarnbellPage tp;
    tp.app().Set("Copyright", "<p>C</p>");
    core::Tarnbell& page = tp.Start();

    page.RunPage(core::Closing::CopyrightAndBody, [&](core::Page&) { page.Response().Write("body"); });
    EXPECT_EQ(tp.Body(), "body<p>C</p></body></html>");

    tp.response().Clear();
    page.RunPage(core::Closing::BodyOnly, [&](core::Page& p) {
        page.Response().Write("lost");
        p.Refuse("没有权限");
    });
    EXPECT_EQ(tp.Body().rfind(kDefaultHead, 0), 0u);
    EXPECT_NE(tp.Body().find("<p><b>没有权限</b></td></tr></table></body></html>"), std::string::npos);

    tp.response().Clear();
    page.RunPage(core::Closing::CopyrightAndBody,
                 [&](core::Page&) { platform::raise(platform::kErrOverflow, "溢出", "Orvane"); });
    EXPECT_NE(tp.Body().find("<p><b>错误号：6<br>错误描述：溢出<br>错误来源：Orvane</b></td></tr></table><p>C</p></body></html>"),
              std::string::npos);

    // Error texts quote statements and values: the tail writes them as text.
    tp.response().Clear();
    page.RunPage(core::Closing::Nothing, [&](core::Page&) {
        platform::raise(platform::kErrDatabase, "unrecognized token: \"'<script>x</script>\"", "a&b");
    });
    EXPECT_NE(tp.Body().find("错误描述：unrecognized token: &quot;'&lt;script&gt;x&lt;/script&gt;&quot;<br>错误来源：a&amp;b</b>"),
              std::string::npos)
        << tp.Body();

    tp.response().Clear();
    page.RunPage(core::Closing::Nothing, [&](core::Page& p) {
        page.Response().Write("done");
        p.Stop();
    });
    EXPECT_EQ(tp.Body(), "done");
}

}  // namespace
