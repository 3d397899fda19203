// ubbmisc.asp?action=getannounce: the announcements in force for one forum.
#include <cstdint>
#include <string>

#include "board/converter/Converter.h"
#include "core/Module1.h"
#include "board/browse/BrowsePages.h"
#include "platform/Charset.h"
#include "platform/Convert.h"
#include "platform/DateTime.h"
#include "platform/Recordset.h"

namespace board {

using namespace core;  // the board frame and the shared helpers

namespace {

using platform::HtmlEncode;
using platform::Variant;

// Forum name and moderators, in both board headers.
std::string ForumBlock(const std::string& forum, platform::Connection& con) {
    return "<FONT color=#000080><B>" + HtmlEncode(forum) + "</B></FONT><br>版主：" +
           GetModeratorList(Variant(forum), con).str();
}

void WriteUbbHeader(platform::Response& out, const std::string& forum, platform::Connection& con) {
    const Settings& s = CurrentSettings();
    out.Write("<table width=" + s.TableWidth + "><tr><td>" + s.Logo + "<br>" + ForumBlock(forum, con) + "</td>");
    out.Write("<td nowrap><img src=images/open.gif> <A href=default.asp>" + s.BBName + "</A><br>");
    out.Write("<img src=images/tline.gif><img src=images/open.gif> <A href=list.asp?groupname=" +
              platform::UrlEncode(forum) + ">" + HtmlEncode(forum) + "</a>");
    out.Write("<p align=center>" + GetNavBarHtml() + "</p></td></tr></table>");
}

// An announcement posted at or after the start of the visit. A visit start
// that was only just set (given as text) marks nothing new.
bool IsNewSinceVisit(const Variant& visitStart, const Variant& posted) {
    if (!visitStart.isDate()) return false;
    return posted.isNull() || !(visitStart.rawDate() > platform::CDate(posted));
}

}  // namespace

void BrowsePages::Getannounce() {
    RunPage(Closing::CopyrightAndBody, [&](Page& p) {
        const std::string forum = Request().QueryString("Forum").str();
        const Settings& s = CurrentSettings();
        StartPage(p, {"查看公告", "公告 - " + s.BBName});

        platform::Response& out = Response();
        platform::Connection& con = p.Db();
        // A private forum's announcements are for the visitors admitted to
        // it, as its topics are.
        const ForumAdmission admission = CheckForum(con, forum);
        if (admission.exists && !admission.admitted) {
            PrivateForum(forum);
            p.Stop();
        }

        // Dates are stored without a time of day: compare with today's midnight.
        const platform::DateTime now = platform::Now();
        const platform::DateParts d = platform::Parts(now);
        const Variant today(platform::MakeDateTime(d.year, d.month, d.day));
        platform::Recordset rs;
        rs.Open("select * from announce inner join announceto on announce.id = announceto.id"
                " where startdate <= ? and enddate >= ? and announceto.forumname = ? order by posttime desc",
                con, platform::CursorType::Static, {today, today, forum});
        const std::int16_t count = platform::CInt(Variant(rs.RecordCount()));
        const Variant visitStart = GetSessionLoginDT();

        out.Write("<center>");
        if (s.BBStyle == "UBB") {
            WriteUbbHeader(out, forum, con);
        } else if (s.BBStyle == "CLUB") {
            out.Write(GetClubHeader());
            out.Write("<table width=" + s.TableWidth + "><tr><td>" + ForumBlock(forum, con) + "</td></tr></table>");
        }
        out.Write("<table width=" + s.TableWidth + "><tr><td><P><B>当前公告：" + std::to_string(count) +
                  "</B> <BR>注意：只有超级系统管理员和版主可以发布公告。你不必回复这些公告。 </td></tr></table>");
        out.Write(s.TableBorderOpen);
        out.Write("<TABLE border=0 cellPadding=4 cellSpacing=1 width=" + s.InnerTableWidth + ">");
        out.Write("<TR " + s.TableColorStrip + "><TD width=30%><FONT color=" + s.TableStripTextColor +
                  ">主题</FONT></TD><TD><FONT color=" + s.TableStripTextColor + ">公告</FONT></TD></TR>");

        for (int i = 1; i <= count; ++i) {
            out.Write("<TR " + (i % 2 == 1 ? s.AltColumnColor1 : s.AltColumnColor2) + ">");
            out.Write("<TD vAlign=top><FONT color=#000080 >" + HtmlEncode(rs.Fields("subject").str()) + "</FONT></TD>");
            out.Write("<TD vAlign=top>");
            out.Write(IsNewSinceVisit(visitStart, rs.Fields("Posttime"))
                          ? "<IMG border=0 src=images/posticonnew.gif>"
                          : "<IMG border=0 src=images/posticon.gif>");
            out.Write("由 " + HtmlEncode(rs.Fields("UserName").str()) + " 发布　　　<FONT color=#000080>［从 " +
                      platform::FormatLongDate(platform::CDate(rs.Fields("StartDate"))) + " 开始到 " +
                      platform::FormatLongDate(platform::CDate(rs.Fields("EndDate"))) + "截止］</FONT>");
            out.Write("<HR>");
            Variant content(HtmlEncode(rs.Fields("content").str()));
            out.Write(board::NewUbbCode()->UbbCode(content));
            out.Write("</TD></TR>");
            rs.MoveNext();
        }

        out.Write("</table>");
        out.Write(s.TableBorderClose);
        out.Write("<table width=" + s.TableWidth + "><TBODY><TR><TD><IMG alt=新公告 border=0  src=images/posticonnew.gif>"
                  "　新的公告<BR><IMG alt=新公告 border=0  src=images/posticon.gif>　旧的公告 </TD></TR></TBODY></TABLE>");
        out.Write("</center>");
    });
}

}  // namespace board
