// The pager under paged lists, in the layout the PageStyle setting picks.
// Links point back to the running page with a page number and the caller's
// extra query text.
#include <string>

#include "core/Settings.h"
#include "core/BoardPage.h"
#include "platform/Error.h"
#include "platform/Strings.h"

namespace core {

namespace {

// Page numbers are 16-bit: stepping past the range is an overflow.
std::string Step(std::int16_t page, int by) {
    const int next = page + by;
    if (next < INT16_MIN || next > INT16_MAX) platform::raise(platform::kErrOverflow);
    return std::to_string(next);
}

class PagerWriter {
public:
    PagerWriter(platform::Response& out, std::string script, std::string addon)
        : out_(out), script_(std::move(script)), addon_(std::move(addon)) {}

    void write(const std::string& text) { out_.Write(text); }
    std::string link(const char* query, const std::string& n) const {
        return "<a href=" + script_ + query + n + addon_;
    }
    std::string option(const char* query, const std::string& n) const {
        return "<option value=" + script_ + query + n + addon_;
    }
    // The page list's options for pages `from` to `to`, each followed by
    // tail(n) and its number, built in one piece: a long list has hundreds.
    template <class Tail>
    std::string options(const char* query, int from, int to, Tail tail) const {
        std::string html;
        html.reserve(static_cast<std::size_t>(to - from + 1) * (script_.size() + addon_.size() + 40));
        for (int n = from; n <= to; ++n) {
            const std::string ns = std::to_string(n);
            html += "<option value=";
            html += script_;
            html += query;
            html += ns;
            html += addon_;
            html += tail(n);
            html += ns;
        }
        return html;
    }
    // Layout 2's previous and last links carry an action of their own; a
    // caller whose addon names the action keeps its own alone, so that the
    // link leads back to the same list.
    std::string lastPageAddress(const std::string& n) const {
        if (platform::InStr(addon_, "&action=", platform::Compare::Text) > 0) return script_ + "?page=" + n + addon_;
        return script_ + "?action=GotoPage&page=" + n + addon_;
    }

private:
    platform::Response& out_;
    std::string script_, addon_;
};

void LayoutTwo(PagerWriter& w, std::int32_t recordCount, std::int16_t page, std::int16_t pageCount,
               std::int16_t pageSize) {
    const std::string p = std::to_string(page), last = std::to_string(pageCount);
    w.write("<tr><td valign=middle nowrap align=right ><span class=smallFont>&gt;&gt; <b><font color=navy>分页</font></b>");
    if (page == 1) {
        w.write("<font color=darkgray>&nbsp;首页 前页</font>&nbsp;");
        w.write(w.link("?Page=", Step(page, 1)) + ">后页 </a><a href=" + w.lastPageAddress(last) +
                ">尾页</a>&nbsp;");
    } else {
        w.write(w.link("?page=", "1") + ">&nbsp;首页 </a><a href=" + w.lastPageAddress(Step(page, -1)) +
                ">前页</a>");
        if (page == pageCount)
            w.write("<font color=darkgray>&nbsp;后页 尾页</font>&nbsp;");
        else
            w.write(w.link("?page=", Step(page, 1)) + ">&nbsp;后页 </a><a  href=" + w.lastPageAddress(last) +
                    ">尾页</a>&nbsp;");
    }
    w.write("页次：<b>" + p + "</b>/<b>" + last + "</b>页 <b>" + std::to_string(pageSize) + "</b>个记录/页 ");
    w.write(" 转到 <select name=page onChange=\"javascript:location.href=this.options[selectedIndex].value\">");
    w.write(w.options("?page=", 1, pageCount, [page](int n) { return n == page ? " selected>" : ">"; }));
    w.write("</select>页 共<B>" + std::to_string(recordCount) + "</b>个记录");
    w.write("</td>");
    w.write("</tr>");
}

// The page numbers are joined by plain blanks, so that a long list wraps.
void LayoutZero(PagerWriter& w, std::int16_t page, std::int16_t pageCount) {
    w.write("<tr><td align=right><b>Page : </b>");
    for (int n = 1; n <= pageCount; ++n) {
        const std::string ns = std::to_string(n);
        if (n == page)
            w.write("<font color=darkgray>" + ns + "</font> ");
        else
            w.write(w.link("?page=", ns) + ">" + ns + "</a> ");
    }
    w.write("</td></tr>");
}

void LayoutOne(PagerWriter& w, std::int16_t page, std::int16_t pageCount) {
    const char* const listWithParentheses =
        "<select class=smallsel onchange=\"javascript:location.href=(this.options[this.selectedIndex].value)\">";
    w.write("<tr><td align=right>");
    if (page == 1) {
        w.write("<b>Prev</b>");
        w.write("&nbsp;");
        w.write("<select class=smallsel onchange=\"javascript:location.href=this.options[this.selectedIndex].value\">");
        w.write(w.option("?Page=", "1") + " selected>1");
        w.write(w.options("?Page=", 2, pageCount, [](int) { return ">"; }));
        w.write("</select>");
        w.write("&nbsp;");
        w.write(w.link("?Page=", "2") + "><b>Next</b></a>");
    } else if (page == pageCount) {
        w.write(w.link("?Page=", Step(page, -1)) + "><b>Prev</b></a>");
        w.write("&nbsp;");
        w.write(listWithParentheses);
        w.write(w.options("?Page=", 1, pageCount - 1, [](int) { return ">"; }));
        const std::string last = std::to_string(pageCount);
        w.write(w.option("?Page=", last) + " selected>" + last);
        w.write("</select>");
        w.write("&nbsp;");
        w.write("<b>Next</b>");
    } else {
        w.write(w.link("?Page=", Step(page, -1)) + "><b>Prev</b></a>");
        w.write("&nbsp;");
        w.write(listWithParentheses);
        w.write(w.options("?Page=", 1, pageCount, [page](int n) { return n == page ? " selected>" : " >"; }));
        w.write("</select>");
        w.write("&nbsp;");
        w.write(w.link("?Page=", Step(page, 1)) + "><b>Next</b></a>");
    }
    w.write("</td></tr>");
}

}  // namespace

void BoardPage::PageStyle(std::int32_t recordCount, std::int16_t page, std::int16_t pageCount,
                         std::int16_t pageSize, const std::string& addon) {
    const std::uint8_t layout = CurrentSettings().PageStyle;
    if (pageCount < 2 || layout > 2) return;

    PagerWriter w(Response(), Request().ServerVariables("script_name").str(), addon);
    w.write("<table border=0 width=" + CurrentSettings().TableWidth + ">");
    if (layout == 2)
        LayoutTwo(w, recordCount, page, pageCount, pageSize);
    else if (layout == 0)
        LayoutZero(w, page, pageCount);
    else
        LayoutOne(w, page, pageCount);
    w.write("</table>");
}

}  // namespace core
