#include "board/posting/ModerationForm.h"

#include "board/posting/PostingForm.h"
#include "core/ArchiveAccess.h"
#include "core/PageFrame.h"
#include "core/Settings.h"
#include "platform/Request.h"

namespace board {

bool IsFormStep(const platform::Request& request) { return request.ServerVariables("request_method").str() != "POST"; }

void WriteModerationForm(core::Tarnbell& page, const ModerationForm& form) {
    const core::Settings& s = core::CurrentSettings();
    platform::Response& out = page.Response();
    out.Write("<center>");
    page.WriteBoardHeader("<table border=0 width=" + s.TableWidth + "><tr><td>" + s.Logo +
                          "</td><td align=center><font class=bbtitle color=" + s.BBTitleFontColor + "><b>" +
                          form.title + "</b></font></td></tr></table>");
    out.Write("<FORM ACTION=" + form.page + " NAME=Authorize METHOD=POST>" + form.hiddenFields);
    out.Write("<p><B>" + form.notice + "</B></p>");
    out.Write(s.TableBorderOpen + "<table border=0 cellpadding=4 cellspacing=1 width=" + s.InnerTableWidth + ">");
    out.Write("<tr " + s.TableColorStrip + "><td colspan=2><font color=" + s.TableStripTextColor + "><b>" +
              form.strip + "</b></font></td></tr>");
    out.Write(LoginRows(page, "<b>" + form.nameLabel + "</b>",
                        "<b>" + form.passwordLabel + "</b>"));
    out.Write("</table>" + s.TableBorderClose);
    out.Write("<p><INPUT TYPE=SUBMIT NAME=Submit VALUE=" + form.button + " class=buttonface></FORM></CENTER>");
}

void RequireSightOf(core::Tarnbell& page, core::Page& p, const std::string& forum, bool writeHead) {
    if (core::MaySeeArchivedTopic(page.CheckForum(p.Db(), forum))) return;
    if (writeHead) page.Response().Write(core::PageHead(core::CurrentSettings().BBName));
    page.PrivateForum(forum);
    p.Stop();
}

Actor ActingMember(core::Tarnbell& page, core::Page& p, const std::string& forum) {
    Actor actor{core::ActingCredentials(page.Request(), page.Session())};
    actor.level = core::GetModeratorLevel(actor.who.name, actor.who.password, forum, p.Db());
    return actor;
}

Actor RequireLeader(core::Tarnbell& page, core::Page& p, const std::string& forum, const LeaderRefusals& refusals) {
    const Actor actor = ActingMember(page, p, forum);
    if (actor.level == core::kNotAMember) p.Refuse(refusals.notMember);
    if (!actor.IsLeader()) p.Refuse(refusals.noRight);
    return actor;
}

}  // namespace board
