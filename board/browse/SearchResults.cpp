// The result list of search.asp: one page of a stored statement, with the
// pager. Each page runs the statement again; only the count of rows is
// kept with the statement, since counting a text search reads every post.
#include <algorithm>
#include <cstdint>
#include <string>

#include "board/browse/SearchPage.h"
#include "core/Module1.h"
#include "core/Settings.h"
#include "platform/Convert.h"
#include "platform/Error.h"
#include "platform/Recordset.h"
#include "platform/SqliteSqlText.h"

namespace core {

namespace {

const char* const kResultsHeader =
    "<TD align=center vAlign=middle>"
    "<CENTER><font class=bbtitle>搜索结果</font><br><br><br>"
    "<A href=search.asp>新搜索</A> | "
    "<a href=default.asp>回到论坛</A></center> "
    "</TD></TR></TBODY></TABLE>"
    "<br>";

void WriteHeadingRow(platform::Response& out) {
    const Settings& s = CurrentSettings();
    const std::string font = "<font color=" + s.TableStripTextColor + "><b>";
    out.Write("<TR " + s.TableColorStrip + ">");
    out.Write("<TD>" + font + "话题</b></font></TD>");
    out.Write("<TD noWrap>" + font + "用户名</b></font></TD>");
    out.Write("<TD noWrap>" + font + "日期</b></font></TD>");
    out.Write("<TD noWrap>" + font + "论坛/档案</b></font></TD>");
    out.Write("</TR>");
}

void WriteRow(platform::Response& out, const platform::Server& server, platform::Recordset& rs) {
    const Settings& s = CurrentSettings();
    const std::string id = rs.Fields("id").str();
    const bool archived = platform::CBool(rs.Fields("isarchive"));
    out.Write("<TR>");
    out.Write("<TD " + s.AltColumnColor1 + "><A href=" + (archived ? "archivecontent.asp?id=" : "newsdetail.asp?id=") +
              id + ">" + server.HTMLEncode(rs.Fields("subject")) + "</A>" + "</TD>");
    out.Write("<TD " + s.AltColumnColor2 + ">" + server.HTMLEncode(rs.Fields("username")) + "</TD>");
    out.Write("<TD " + s.AltColumnColor1 + " noWrap>" + FormatPostTime(rs.Fields("lastlytime")).str() + "</TD>");
    out.Write("<TD " + s.AltColumnColor2 + ">" + rs.Fields("forumname").str() + "</td>");
    out.Write("</tr>");
}

long CountRows(platform::Connection& con, const std::string& statement) {
    platform::Recordset count;
    count.Open("SELECT count(*) FROM (" + std::string(platform::WithoutFinalOrderBy(statement)) + ")", con);
    return platform::CLng(count.Fields(0));
}

}  // namespace

void WriteSearchResults(Tarnbell& page, Page& p, std::optional<std::string> statement) {
    const Settings& s = CurrentSettings();
    platform::Response& out = page.Response();
    platform::Connection& con = p.Db();

    // The count belongs to the statement it was taken of: a new list drops it.
    if (statement) {
        page.Session().Set("searchsql", *statement);
        page.Session().Remove("searchcount");
    } else {
        statement = page.Session()("searchsql").str();
    }
    // "browser" stores no statement; there is nothing to open.
    if (statement->empty()) platform::raise(platform::kErrDatabase, "命令文本未被设置。");

    platform::Variant stored = page.Session()("searchcount");
    const long recordCount = stored.isEmpty() ? CountRows(con, *statement) : platform::CLng(stored);
    page.Session().Set("searchcount", platform::Variant(recordCount));

    platform::Recordset rs;
    rs.CacheSize(s.PageSize);
    rs.PageSize(s.PageSize);
    rs.Open(*statement, con, platform::CursorType::Static);
    rs.KnownRecordCount(recordCount);

    WriteSearchHeader(page, "<TABLE border=0 width=" + s.TableWidth + "><TBODY><TR><TD align=left>" + s.Logo +
                                "</td>" + kResultsHeader);
    if (rs.Bof() && rs.Eof()) {
        out.Write("<TABLE border=0 width=" + s.TableWidth + ">");
        out.Write("<TBODY>");
        out.Write("<tr><td>没有发现任何记录！</td>");
        out.Write("</TBODY></TABLE>");
        return;
    }

    // Pages are 16-bit numbers: a list longer than that many pages is shown
    // up to its 32767th page instead of failing.
    const std::int16_t pageCount = static_cast<std::int16_t>(std::min<long>(rs.PageCount(), INT16_MAX));
    const platform::Variant requested = page.Request()("page");
    std::int16_t current = IsPositiveNumber(requested) ? platform::CInt(requested) : 1;
    current = std::min(current, pageCount);  // past the end: the last page
    rs.AbsolutePage(current);

    out.Write(s.TableBorderOpen);
    out.Write("<TABLE border=0 cellPadding=4 cellSpacing=1 width=" + s.InnerTableWidth + ">");
    out.Write("<TBODY>");
    WriteHeadingRow(out);
    for (int row = 0; row < s.PageSize && !rs.Eof(); ++row) {
        WriteRow(out, page.Server(), rs);
        rs.MoveNext();
    }
    out.Write("</table>");
    out.Write(s.TableBorderClose);
    page.PageStyle(recordCount, current, pageCount, s.PageSize, "&action=GotoPage");
}

}  // namespace core
