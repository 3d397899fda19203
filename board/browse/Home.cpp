// The board home (default.asp): where a visit starts. Settles the visit's
// last-visit time, then shows the board totals, every forum by catalog with
// its new-post mark, the visitor's unread private messages and who is
// online.
#include <string>

#include "board/browse/ForumRows.h"
#include "board/visits/LastVisit.h"
#include "core/Module1.h"
#include "board/browse/BrowsePages.h"
#include "platform/Convert.h"
#include "platform/DateTime.h"
#include "platform/Recordset.h"

namespace board {

using namespace core;  // the board frame and the shared helpers

namespace {

using platform::Variant;

// The session's first home page moves the previous visit's time from
// lastLoginDT into sessionLoginDT, which then stays for the visit; later
// pages read sessionLoginDT.
board::LastVisit StartVisit(const platform::Request& request, platform::Response& response,
                            platform::Session& session) {
    if (!(session("FirstIn") == Variant(""))) {
        session.Set("FirstIn", "no");
        return board::ReadSessionLoginDT(request, response);
    }
    const std::string now = board::NowText();
    board::LastVisit visit{Variant(now), false};
    const Variant last = request.Cookies("lastLoginDT");
    if (!last.str().empty() && platform::IsDate(last)) visit = {Variant(platform::CDate(last)), true};
    board::SetYearCookie(response, "sessionLoginDT",
                         visit.fromCookie ? platform::FormatGeneral(visit.time.rawDate()) : now);
    board::SetYearCookie(response, "lastLoginDT", now);
    session.Set("FirstIn", "yes");
    return visit;
}

// A count or sum as the page writes it: Null as nothing.
std::string Number(const Variant& v) { return v.str(); }

}  // namespace

void BrowsePages::Home() {
    const Settings& s = CurrentSettings();
    platform::Response& out = Response();
    platform::Server& server = Server();

    RunPage(Closing::BodyOnly, [&](Page& p) {
        const std::string visitorIP = Request().ServerVariables("Remote_addr").str();
        const std::string displayName =
            StartPage(p, {"首页", s.BBName, "<div align=center><center>",
                          "<table border=0 width=" + s.TableWidth + "><tr><td>" + s.Logo + "</td>" +
                              "<td><p align=Left>&nbsp;&nbsp;&nbsp;<b><font class=bbtitle color=\"" +
                              s.BBTitleFontColor + "\">" + s.BBName + "</font></b></p><p>" + GetNavBarHtml() +
                              "</p></td></tr></table>"});
        const board::LastVisit visit = StartVisit(Request(), out, Session());

        platform::Connection& con = p.Db();
        out.Write("<table border=0 width=" + s.TableWidth + "><tr>"
                  "<td><b>[功能区]</b> <a href=search.asp?action=getdaily>今天的话题</a>&nbsp;|&nbsp;"
                  "<a href=active.asp>最近25条贴子</a>&nbsp;|&nbsp;<a href=hot.asp>最热门25条贴子</a>&nbsp;"
                  "|&nbsp;<a href=morereply.asp>最多回复25条贴子</a></td></tr></table>");

        // Board totals, the last visit, members.
        out.Write("<table border=0 width=" + s.TableWidth + ">");
        platform::Recordset rs;
        if (s.DisplayPostCount) {
            rs.Open("select sum(ifnull(topiccount,0)),sum(ifnull(replycount,0)) from forum", con);
            const Variant topics = rs.Fields(0), replies = rs.Fields(1);
            const std::string posts = topics.isNull() || replies.isNull()
                                          ? std::string()
                                          : platform::NumberText(topics.toDouble() + replies.toDouble());
            out.Write("<tr><td colspan=2 align=right>主题总数:<b>" + Number(topics) + "</b> | 回复总数:<b>" +
                      Number(replies) + "</b> | 贴子总数:<b>" + posts + "</b></td></tr>");
            rs.Close();
        }
        out.Write("<tr><td>您上次来访时间为: " + FormatPostTime(visit.time).str() + "</td>");
        out.Write("<td nowrap align=right><a href=member.asp>注册用户列表</a> ");
        if (s.DisplayMemberTotal) {
            // username is never NULL: count(*) counts the same rows without
            // reading every name. Kept while the file is unchanged.
            out.Write("| 注册用户:<b>" + std::to_string(platform::CountOf(con, "select count(*) from register")) +
                      "</b> ");
        }
        if (s.DisplayRegistration) {
            rs.Open("select username from register order by signdate desc limit 1", con);
            const std::string newest = rs.Eof() ? std::string() : rs.Fields("username").str();
            rs.Close();
            if (!newest.empty())
                out.Write("|&nbsp;最后加盟:<a href=viewuser.asp?username=" + server.URLEncode(newest) + "><b>" +
                          server.HTMLEncode(newest) + "</b></a>");
        }
        out.Write("</td></tr></table>");

        // Forums, with a strip wherever the catalog changes.
        const std::string headCell = "<font color=" + s.TableStripTextColor + ">";
        out.Write(s.TableBorderOpen);
        out.Write("<table cellpadding=4 border=0 cellspacing=1  width=" + s.InnerTableWidth + ">\r\n");
        out.Write("<tr " + s.TableColorStrip + ">\r\n");
        out.Write("<td></td>\r\n");
        out.Write("<td vAlign=bottom width=270>" + headCell + "<b>讨论区</b></font></td>\r\n");
        out.Write("<td align=middle noWrap vAlign=bottom width=60>" + headCell + "<b>主题数</b></font>\r\n");
        out.Write("</td>\r\n");
        out.Write("<td align=middle noWrap vAlign=bottom width=60>" + headCell + "<b>贴子数</b></font>\r\n");
        out.Write("</td>\r\n");
        out.Write("<td align=middle noWrap vAlign=bottom width=120>" + headCell + "<b>最后发表</b></font></td>\r\n");
        out.Write("<td vAlign=bottom align=center noWrap><p style=color:white><b>版主</b> </td></tr>");

        for (const ForumRow& row : *HomeForumRows(con, server)) {
            out.Write(row.lead);
            out.Write(visit.IsNewer(row.lastTime) ? "on" : "off");
            out.Write(row.cells);
        }

        // Unread private messages of the member the visitor proved to be.
        out.Write(CategoryStrip("悄悄话"));
        out.Write("<tr><td vAlign=top " + s.BGColor + " align=center >");
        const Credentials& member = Visitor(p);
        std::string notice;
        if (!member.IsMember() || member.password.empty()) {
            out.Write("<img src=images/pm_off_b.gif>");
            notice = "检查您的悄悄话";
        } else {
            rs.Open("select count(postid) from PM inner join register on PM.recipient=register.username "
                    "where recipient=? and password=? and isnew=1",
                    con, {member.name, member.password});
            const std::int32_t unread = CountOrZero(rs.Fields(0));
            rs.Close();
            if (unread == 0) {
                out.Write("<img src=images/pm_off_b.gif>");
                notice = "您没有新悄悄话";
            } else {
                out.Write("<img src=images/pm_on_b.gif align=absmiddle>");
                notice = "您有" + std::to_string(unread) + "条新悄悄话";
            }
        }
        out.Write("</td><td colspan=5 " + s.AltColumnColor1 + " ><a href=pm.asp><b>悄悄话</b></a> <br> - " + notice +
                  "</td></tr>");

        // Who is online.
        out.Write(CategoryStrip("在线用户"));
        out.Write("<tr><td vAlign=top " + s.BGColor + " align=center ><img src=images/online.gif></td><td colspan=5 " +
                  s.AltColumnColor1 + " >");
        out.Write("<a href=online.asp><b>当前浏览的朋友 (" + Application()("OnlineCount").str() + ")</b></a> <br>");
        if (displayName == "GUEST ")
            out.Write(s.GuestTitle + " (" + MaskIP(visitorIP).str() + ")");
        else
            out.Write("成员 " + server.HTMLEncode(displayName));
        const Variant guests = Application()("GuestCount");
        const double members = Application()("OnlineCount").toDouble() - guests.toDouble();
        out.Write(" - 现在 " + platform::NumberText(members) + " 个成员和 " + guests.str() + " 个" + s.GuestTitle +
                  "在这个论坛");
        out.Write("</td></tr></table>" + s.TableBorderClose);

        if (s.BBStyle == "UBB") out.Write(GetArchiveJumpList(con));
        out.Write("</center></div><p><ul><img alt=On border=0 src=images/on.gif WIDTH=22 HEIGHT=15>&nbsp;&nbsp; "
                  "自从你上次来过以后有新贴子.<br>");
        out.Write("<img alt=off border=0 src=images/off.gif WIDTH=22 HEIGHT=15><span class=smallFont>&nbsp;&nbsp; "
                  "自从你上次来过以后没有新贴子. </span></ul>");
        out.Write(s.Copyright);
    });
}

}  // namespace board
