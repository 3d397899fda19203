// The page head, the CLUB header and the three short pages that replace a
// page's output: error, message with jump box, and timed forwarding.
#include "core/PageFrame.h"

#include "core/BoardAddress.h"
#include "core/JumpBox.h"
#include "core/Settings.h"
#include "core/Tarnbell.h"
#include "platform/Charset.h"
#include "platform/Response.h"
#include "platform/Strings.h"

namespace core {

std::string PageHead(const std::string& title) {
    const Settings& s = CurrentSettings();
    return "<html><head><link rel=stylesheet type=text/css href=DEFAULT.CSS>"
           "<meta HTTP-EQUIV=Expires CONTENT=0>"
           "<meta HTTP-EQUIV=Content-Type content=\"text/html; charset=gb2312\">"
           "<title>" + title + "</title></head><body " + s.PageBackGround + " " + s.BGColor + " > ";
}

std::string GetNavBarHtml() { return CurrentSettings().NavBar; }

void KeepOutOfCaches(platform::Response& out) {
    for (const auto& [name, value] : out.Headers())
        if (platform::EqualsIgnoreCase(name, "Cache-Control") && value == "no-store") return;
    out.AddHeader("Cache-Control", "no-store");
}

std::string Tarnbell::GetClubHeader() {
    const Settings& s = CurrentSettings();
    return "<table border=0 width=" + s.TableWidth + "><tr><td align=center>" + s.Logo +
           "</td></tr><tr><td align=right><p>" + s.NavBar + "</p></td></tr></table>";
}

namespace {

// The start the three short pages share: everything written so far goes.
void StartShortPage(platform::Response& out) {
    out.Clear();
    out.Write(PageHead(CurrentSettings().BBName));
}

// The logo row and the opening of the message row.
void WriteMessageTableStart(platform::Response& out) {
    const Settings& s = CurrentSettings();
    out.Write("<table border=0 width=" + s.TableWidth + " align=center>");
    out.Write("<tr><td>");
    out.Write("<p>" + s.Logo + "</p>");
    out.Write("</td></tr>");
    out.Write("<tr " + s.AltColumnColor1 + "><td>");
}

}  // namespace

void BoardPage::ErrorForm(const std::string& errormessage) {
    platform::Response& out = Response();
    StartShortPage(out);
    WriteMessageTableStart(out);
    out.Write("<p><b>" + errormessage + "</b>");
    out.Write("</td></tr>");
    out.Write("</table>");
}

platform::Variant BoardPage::MessageWithJumpTo(platform::Connection& con, const std::string& forumname,
                                              const std::string& message, bool isArchive) {
    platform::Response& out = Response();
    StartShortPage(out);
    WriteMessageTableStart(out);
    out.Write("<p><b>" + message + "</b><br>");
    out.Write(FreshJumpBox(con, Server(), forumname, isArchive));
    out.Write("</td></tr>");
    out.Write("</table>");
    return {};
}

void BoardPage::Wait(const std::string& tip, const std::string& url, const std::string& target,
                    std::uint8_t waittime) {
    const std::string address = platform::HtmlEncode(IsBoardAddress(url) ? url : "default.asp");
    const std::string seconds = std::to_string(waittime);
    platform::Response& out = Response();
    StartShortPage(out);
    out.Write("<br><br>");
    out.Write("<ul><p><FONT COLOR=#000080>");
    out.Write("<B>" + tip + "，您将在" + seconds + "秒内被自动转送到" + target + "。</b></font></p>");
    out.Write("<P>");
    out.Write("<A HREF=\"" + address + "\"><b>如果你不想再等或浏览器没有自动转移到目的地，请按这里。</b></A>");
    out.Write("</p>");
    out.Write("</ul>");
    out.Write("<meta http-equiv=Refresh content=\"" + seconds + "; URL='" + address + "'\">");
}

}  // namespace core
