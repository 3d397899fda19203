// Who is online (online.asp): the rows of the online-visitor list. The
// debug view (action=debug) adds full addresses and the latest request
// time, for a logged-in administrator only.
#include "core/Module1.h"
#include "core/Settings.h"
#include "board/browse/BrowsePages.h"

namespace board {

using namespace core;  // the board frame and the shared helpers

namespace {

enum Field : int { VisitorName, VisitorIP, VisitStart, LastRequestTime, LastScanTime, VisitorActivity };
const char* const kGuest = "GUEST ";

std::string HeadCell(const std::string& text, bool nowrap) {
    return std::string(nowrap ? "<td nowrap>" : "<td>") + "<b><font color=" + CurrentSettings().TableStripTextColor +
           ">" + text + "</font></b></td>";
}

std::string VisitorCell(const Tarnbell& page, const std::string& name, const std::string& ip) {
    if (name == kGuest) return "<td>" + CurrentSettings().GuestTitle + " (" + MaskIP(ip) + ")</td>";
    return "<td><a href=viewuser.asp?username=" + page.Server().URLEncode(name) + ">" +
           page.Server().HTMLEncode(name) + "</a></td>";
}

}  // namespace

void BrowsePages::Online() {
    RunPage(Closing::BodyOnly, [&](Page& p) {
        const Settings& s = CurrentSettings();
        platform::Response& out = Response();
        StartPage(p, {"谁在线", "谁在线 - " + s.BBName, "\r\n<center>",
                      "<table border=0 width=" + s.TableWidth + "><tr><td valign=top>" + s.Logo + "</td>" +
                          "<td align=center><p><font class=bbtitle>谁在线</font></p><p>" + GetNavBarHtml() +
                          "</p></td></tr></table>"});
        // The debug view is for an administrator the visitor proved to be.
        Credentials member = Visitor(p);
        const bool debug = Request()("action").str() == "debug" &&
                           GetModeratorLevel(member.name, member.password, "", p.Db()) == kAdministrator;

        out.Write(s.TableBorderOpen);
        out.Write("<table width=" + s.InnerTableWidth + " border=0 cellspacing=1 cellPadding=4>\r\n");
        out.Write("<tr " + s.TableColorStrip + ">" + HeadCell("用户名", true) + (debug ? HeadCell("IP", true) : "") +
                  HeadCell("登录时间", false) + (debug ? HeadCell("最近活动时间", false) : "") +
                  HeadCell("在哪里？", false) + "</tr>");

        // One copy of the list, read without the lock: rows changed by other
        // requests meanwhile do not show.
        const platform::Variant online = Application()("Online");
        const platform::VariantArray& list = online.array();
        int written = 0;
        for (int row = 0; row <= s.MaxUser; ++row) {
            const std::string ip = list.at(VisitorIP, row).str();
            if (ip.empty()) continue;
            out.Write("<tr " + (written++ % 2 == 0 ? s.AltColumnColor1 : s.AltColumnColor2) + ">");
            out.Write(VisitorCell(*this, list.at(VisitorName, row).str(), ip));
            if (debug) out.Write("<td>" + ip + "</td>");
            out.Write("<td>" + list.at(VisitStart, row).str() + "</td>");
            if (debug) out.Write("<td>" + list.at(LastRequestTime, row).str() + "</td>");
            out.Write("<td>" + Server().HTMLEncode(list.at(VisitorActivity, row)) + "</td>");
            out.Write("</tr>");
        }
        out.Write("</table>" + s.TableBorderClose + "</center>" + s.Copyright);
    });
}

}  // namespace board
