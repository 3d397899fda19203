#include <gtest/gtest.h>

#include <string>

#include "TarnbellPage.h"
#include "platform/Error.h"

namespace {

using testing_support::TarnbellPage;

// The pager of a 3-page list of 50 rows on /l.asp, with "&f=x" after
// every page number.
std::string Pager(int layout, std::int16_t page) {
    TarnbellPage tp;
    tp.Start("/l.asp");
    core::CurrentSettings().PageStyle = static_cast<std::uint8_t>(layout);
    tp.page().PageStyle(50, page, 3, 20, "&f=x");
    return tp.Body();
}

const std::string kTable = "<table border=0 width=95%>";

// Plain blanks join the numbers: a list of many pages wraps.
TEST(Pager, LayoutZero) {
    const std::string start = kTable + "<tr><td align=right><b>Page : </b>";
    const std::string end = "</td></tr></table>";
    EXPECT_EQ(Pager(0, 1), start +
                               "<font color=darkgray>1</font> <a href=/l.asp?page=2&f=x>2</a> "
                               "<a href=/l.asp?page=3&f=x>3</a> " + end);
    EXPECT_EQ(Pager(0, 2), start +
                               "<a href=/l.asp?page=1&f=x>1</a> <font color=darkgray>2</font> "
                               "<a href=/l.asp?page=3&f=x>3</a> " + end);
    EXPECT_EQ(Pager(0, 3), start +
                               "<a href=/l.asp?page=1&f=x>1</a> <a href=/l.asp?page=2&f=x>2</a> "
                               "<font color=darkgray>3</font> " + end);
}

TEST(Pager, LayoutOne) {
    const std::string start = kTable + "<tr><td align=right>";
    const std::string end = "</td></tr></table>";
    const std::string list = "<select class=smallsel onchange=\"javascript:location.href=this.options[this.selectedIndex].value\">";
    const std::string listParens =
        "<select class=smallsel onchange=\"javascript:location.href=(this.options[this.selectedIndex].value)\">";
    EXPECT_EQ(Pager(1, 1), start + "<b>Prev</b>&nbsp;" + list +
                               "<option value=/l.asp?Page=1&f=x selected>1<option value=/l.asp?Page=2&f=x>2"
                               "<option value=/l.asp?Page=3&f=x>3</select>&nbsp;<a href=/l.asp?Page=2&f=x><b>Next</b></a>" +
                               end);
    EXPECT_EQ(Pager(1, 2), start + "<a href=/l.asp?Page=1&f=x><b>Prev</b></a>&nbsp;" + listParens +
                               "<option value=/l.asp?Page=1&f=x >1<option value=/l.asp?Page=2&f=x selected>2"
                               "<option value=/l.asp?Page=3&f=x >3</select>&nbsp;<a href=/l.asp?Page=3&f=x><b>Next</b></a>" +
                               end);
    EXPECT_EQ(Pager(1, 3), start + "<a href=/l.asp?Page=2&f=x><b>Prev</b></a>&nbsp;" + listParens +
                               "<option value=/l.asp?Page=1&f=x>1<option value=/l.asp?Page=2&f=x>2"
                               "<option value=/l.asp?Page=3&f=x selected>3</select>&nbsp;<b>Next</b>" + end);
}

TEST(Pager, LayoutTwo) {
    const std::string start =
        kTable + "<tr><td valign=middle nowrap align=right ><span class=smallFont>&gt;&gt; <b><font color=navy>分页</font></b>";
    auto rest = [](int page) {
        std::string out = "页次：<b>" + std::to_string(page) + "</b>/<b>3</b>页 <b>20</b>个记录/页 " +
                          " 转到 <select name=page onChange=\"javascript:location.href=this.options[selectedIndex].value\">";
        for (int n = 1; n <= 3; ++n)
            out += "<option value=/l.asp?page=" + std::to_string(n) + "&f=x" + (n == page ? " selected>" : ">") +
                   std::to_string(n);
        return out + "</select>页 共<B>50</b>个记录</td></tr></table>";
    };
    EXPECT_EQ(Pager(2, 1), start + "<font color=darkgray>&nbsp;首页 前页</font>&nbsp;"
                                   "<a href=/l.asp?Page=2&f=x>后页 </a><a href=/l.asp?action=GotoPage&page=3&f=x>尾页</a>&nbsp;" +
                               rest(1));
    EXPECT_EQ(Pager(2, 2), start + "<a href=/l.asp?page=1&f=x>&nbsp;首页 </a><a href=/l.asp?action=GotoPage&page=1&f=x>前页</a>"
                                   "<a href=/l.asp?page=3&f=x>&nbsp;后页 </a><a  href=/l.asp?action=GotoPage&page=3&f=x>尾页</a>&nbsp;" +
                               rest(2));
    EXPECT_EQ(Pager(2, 3), start + "<a href=/l.asp?page=1&f=x>&nbsp;首页 </a><a href=/l.asp?action=GotoPage&page=2&f=x>前页</a>"
                                   "<font color=darkgray>&nbsp;后页 尾页</font>&nbsp;" +
                               rest(3));
}

// A list that pages with an action of its own keeps that one action in
// layout 2's previous and last links too.
TEST(Pager, LayoutTwoKeepsTheCallersActionAlone) {
    TarnbellPage tp;
    tp.Start("/pm.asp");
    core::CurrentSettings().PageStyle = 2;
    tp.page().PageStyle(50, 2, 3, 20, "&action=outbox");
    EXPECT_NE(tp.Body().find("<a href=/pm.asp?page=1&action=outbox>前页</a>"), std::string::npos);
    EXPECT_NE(tp.Body().find("<a  href=/pm.asp?page=3&action=outbox>尾页</a>"), std::string::npos);
    EXPECT_EQ(tp.Body().find("GotoPage"), std::string::npos);
}

TEST(Pager, WritesNothingForOnePageOrAnUnknownLayout) {
    for (int layout : {0, 1, 2, 3}) {
        for (std::int16_t pages : {0, 1, 3}) {
            if (pages == 3 && layout != 3) continue;
            TarnbellPage tp;
            tp.Start("/l.asp");
            core::CurrentSettings().PageStyle = static_cast<std::uint8_t>(layout);
            tp.page().PageStyle(10, 1, pages, 20);
            EXPECT_EQ(tp.Body(), "") << layout << " " << pages;
        }
    }
}

TEST(Pager, EmptyAddonEndsAddressesWithThePageNumber) {
    TarnbellPage tp;
    tp.Start("/search.asp");
    tp.page().PageStyle(30, 1, 2, 20);
    EXPECT_EQ(tp.Body(), kTable + "<tr><td align=right><b>Page : </b><font color=darkgray>1</font> "
                                  "<a href=/search.asp?page=2>2</a> </td></tr></table>");
}

TEST(Pager, StepPastThe16BitRangeIsAnOverflow) {
    TarnbellPage tp;
    tp.Start("/l.asp");
    core::CurrentSettings().PageStyle = 1;
    try {
        tp.page().PageStyle(10, 32767, 5, 20);
        FAIL();
    } catch (const platform::RuntimeError& e) {
        EXPECT_EQ(e.number(), platform::kErrOverflow);
    }
}

}  // namespace
