// archivelist.asp: the topics filed in one archive, newest filing first,
// PageSize a page, each linked to its archived thread in this archive.
// Topics of private forums show only to visitors admitted to the forum.
#include <algorithm>
#include <cstdint>
#include <string>

#include "board/archives/ArchivePages.h"
#include "board/archives/ArchivedTopic.h"
#include "core/ArchiveAccess.h"
#include "core/Module1.h"
#include "platform/Charset.h"
#include "platform/Convert.h"
#include "platform/Recordset.h"

namespace board {

using namespace core;  // the board frame and the shared helpers

namespace {

using platform::HtmlEncode;
using platform::Variant;

void WriteUbbHeader(platform::Response& out, const ArchiveEntry& archive) {
    const Settings& s = CurrentSettings();
    const std::string name = HtmlEncode(archive.name);
    out.Write("<table border=0 width=" + s.TableWidth + "><tr><td align=left valign=top>" + s.Logo + "<br>");
    out.Write("[<font color=#009933><b>" + name + "</b></font>]<br>" + HtmlEncode(archive.descript) + "</td>");
    out.Write("<td valign=top nowrap><img SRC=images/open.gif BORDER=0 align=absmiddle >&nbsp;&nbsp;"
              "<a HREF=default.asp><acronym TITLE=回到论坛>" + s.BBName + "</acronym></a><br>");
    out.Write("<img SRC=images/tline.gif BORDER=0 align=absmiddle ><img SRC=images/open.gif BORDER=0 "
              "align=absmiddle >&nbsp;&nbsp;" + name + "<br>");
    out.Write("<p><center>" + GetNavBarHtml() + "</center></td></tr></table>");
}

void WriteClubHeader(platform::Response& out, const std::string& clubHeader, const ArchiveEntry& archive) {
    const Settings& s = CurrentSettings();
    out.Write(clubHeader);
    out.Write("<table border=0 width=" + s.TableWidth + "><tr><td align=left valign=top>");
    out.Write("[<font color=#009933><b>" + HtmlEncode(archive.name) + "</b></font>]<br>" +
              HtmlEncode(archive.descript) + "</td></tr></table>");
}

void WriteHeadingRow(platform::Response& out) {
    const Settings& s = CurrentSettings();
    const std::string font = "<td><font color=" + s.TableStripTextColor + "><b>";
    out.Write("<tr " + s.TableColorStrip + ">" + font + "归档话题</b></font></td>" + font +
              "话题发起</b></font></td>" + font + "归档日期</b></font></td></tr>");
}

void WriteTopicRow(platform::Response& out, platform::Recordset& rs, const std::string& archiveId) {
    const Settings& s = CurrentSettings();
    out.Write("<tr " + s.AltColumnColor1 + "><TD><A HREF=archivecontent.asp?id=" + rs.Fields("postid").str() +
              "&archiveid=" + archiveId + ">" + HtmlEncode(rs.Fields("subject").str()) + "</A></td><TD>" +
              HtmlEncode(rs.Fields("username").str()) + "</td><td>" + FormatPostTime(rs.Fields("archivedate")).str() +
              "</td></tr>");
}

}  // namespace

void ArchivePages::ArchiveList() {
    RunPage(Closing::BodyOnly, [&](Page& p) {
        const Settings& s = CurrentSettings();
        RecordVisit(p, "档案列表");
        const Variant archiveValue = Request()("ArchiveID");
        if (!IsPositiveNumber(archiveValue)) p.Refuse("参数必须是一个大于0的整数！");
        const Variant pageValue = Request()("page");
        if (!pageValue.isEmpty() && !IsPositiveNumber(pageValue)) p.Refuse("参数错误！");

        platform::Connection& con = p.Db();
        const std::optional<ArchiveEntry> archive = FindArchive(con, platform::CLng(archiveValue));
        if (!archive) p.Refuse("参数错误！");
        const std::string archiveId = std::to_string(archive->id);

        platform::Response& out = Response();
        out.Write(PageHead(HtmlEncode(archive->name) + " - " + s.BBName));
        out.Write("<center>");
        if (s.BBStyle == "UBB")
            WriteUbbHeader(out, *archive);
        else if (s.BBStyle == "CLUB")
            WriteClubHeader(out, GetClubHeader(), *archive);
        out.Write("<table border=0 width=" + s.TableWidth +
                  "><tr bgcolor=#FFFFFF><td valign=bottom>下面的归档话题以归档日期顺序列表。</td></tr></table>");

        out.Write(s.TableBorderOpen);
        out.Write("<table border=0 cellpadding=4  cellspacing=1 width=" + s.InnerTableWidth + ">");
        WriteHeadingRow(out);
        // Newest filing first; rowid keeps equal dates in one order from
        // page to page, and the topics index yields both.
        const SqlCondition visible = ArchivedTopicVisibleSql("a", AdmittedPrivateForums(con));
        platform::SqlParams params = {Variant(archive->id)};
        params.insert(params.end(), visible.params.begin(), visible.params.end());
        platform::Recordset rs;
        rs.CacheSize(s.PageSize);
        rs.PageSize(s.PageSize);
        rs.Open("select archivedate, username, postid, subject from archivelist a where archiveid = ?"
                " and parentid is null and " + visible.sql + " order by archivedate desc, a.rowid desc",
                con, platform::CursorType::Static, params);
        const std::int32_t recordCount = rs.RecordCount();
        std::int16_t page = 1;
        std::int16_t pageCount = 0;
        if (rs.Eof()) {
            out.Write("<tr " + s.AltColumnColor1 + "><td colspan=3>该档案尚无归档内容</td></tr>");
        } else {
            // Page numbers are 16-bit: a longer list is shown to its 32767th page.
            pageCount = static_cast<std::int16_t>(std::min<long>(rs.PageCount(), INT16_MAX));
            page = RequestedPage(pageValue, pageCount);
            rs.AbsolutePage(page);
            for (int row = 0; row < s.PageSize && !rs.Eof(); ++row) {
                WriteTopicRow(out, rs, archiveId);
                rs.MoveNext();
            }
        }
        rs.Close();
        out.Write("</table>");
        out.Write(s.TableBorderClose);
        PageStyle(recordCount, page, pageCount, s.PageSize, "&ArchiveID=" + archiveId);

        out.Write("<table BORDER=0 WIDTH=" + s.TableWidth +
                  "><tr><td><p align=right>这是论坛精华归档。所有的内容都是只读的。想要发表消息，访问一个论坛。"
                  "</td></tr></table>");
        if (s.BBStyle == "UBB") out.Write(JumpTo(con, Variant(archive->id), true));
        out.Write("</center>");
        out.Write(s.Copyright);
    });
}

}  // namespace board
