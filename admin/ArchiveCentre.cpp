// archive.asp (the panel's): creating, renaming, describing and deleting
// archives. One submitted form rewrites every listed archive it changes,
// deletes the checked ones with their archived topics and adds a new one,
// all in one transaction; then the board builds its archive lists again.
// A moderator's change of an archive holding topics of a forum he does not
// moderate is refused whole.
#include "admin/Admin.h"
#include "admin/forms/ArchiveForms.h"
#include "admin/forms/LoginRows.h"
#include "core/JumpBox.h"
#include "core/Settings.h"
#include "platform/Connection.h"
#include "platform/Recordset.h"
#include "platform/Strings.h"

namespace admin {

namespace {

constexpr const char* kNotAllowed = "对不起，您没有使用该功能的权限";
constexpr const char* kOutOfReach = "对不起，该档案中有您不是版主的论坛的话题，只有管理员才能修改或删除它！";

// Whether every post filed in the archive comes from a forum `moderator`
// moderates (an empty archive's do).
bool HoldsOnlyForumsOf(platform::Connection& con, std::int32_t archive, const std::string& moderator) {
    platform::Recordset rs;
    rs.Open("select 1 from archivelist a where a.archiveid=? and not exists "
            "(select 1 from moderated m where m.forum=a.forumname and m.moderater=?) limit 1",
            con, {archive, moderator});
    return rs.Eof();
}

bool IsUnchanged(platform::Connection& con, std::int32_t archive, const std::string& name,
                 const std::string& descript) {
    platform::Recordset rs;
    rs.Open("select 1 from archive where archiveid=? and ifnull(archivename,'')=? and ifnull(descript,'')=?", con,
            {archive, name, descript});
    return !rs.Eof();
}

}  // namespace

void Admin::Archives(const PanelStep& step) {
    RunPanelPage("精华归档 - " + core::CurrentSettings().BBName, step);
}

void Admin::Archives_Login(core::Page&) { Response().Write(forms::ArchiveLoginForm(SessionLogin())); }

// The i-th listed archive's fields are "ArchiveName" + i and "descript" + i,
// and its number is the i-th value of hiddenArchiveid.
void Admin::Archives_EnterArchive(core::Page& p) {
    RequireLeader(p, PostedLogin(), kNotAllowed);
    platform::Connection& con = p.Db();
    platform::Recordset rs;
    rs.Open("select * from archive order by archiveid", con, platform::CursorType::Static);
    platform::Response& out = Response();
    out.Write("<BR><center><h1>归 档</h1></center><P><center><FORM ACTION='archive.asp' NAME='THEFORM' METHOD='POST'>"
              "<INPUT TYPE='HIDDEN' NAME='action' VALUE='archivecenter'>"
              "<table border=0 cellpadding=0 cellspacing=0 width=95%><tr><td bgcolor=#000000>"
              "<table border=0 cellpadding=4 cellspacing=1 width=100%><INPUT TYPE='HIDDEN' NAME='ArchiveOption' "
              "VALUE='ALL'>");
    out.Write("<TR bgcolor='#FFFFFF'><TD colspan=3>你目前有 " + std::to_string(rs.RecordCount()) +
              " 个归档，列示于下面的当前归档栏目下。要增加一个新档案，<A HREF='#addit'>按这里</A>。</td></tr>");
    out.Write("<tr bgcolor='#B0BB9D'><td colspan=3><CENTER><B>- 当前归档 -</B></CENTER></td></tr>"
              "<tr bgcolor='#B0BB9D'><td>删除？</td><TD>归档号码</TD><TD>归档名称和描述</TD></tr>");
    for (int i = 1; !rs.Eof(); ++i, rs.MoveNext()) {
        const std::string id = rs.Fields("archiveid").str(), n = std::to_string(i);
        const platform::Variant descript = rs.Fields("descript");
        out.Write("<INPUT TYPE='HIDDEN' NAME='hiddenArchiveid' VALUE='" + id + "'>");
        out.Write("<tr bgcolor='#C7C6BA'><td><INPUT TYPE='CHECKBOX' NAME='Delete' VALUE='" + id + "'></td><td>" + id +
                  "</td><td><table border=0><tr><td>归档名称：</td><td><INPUT TYPE='TEXT' NAME='ArchiveName" + n +
                  "' VALUE=" + Attr(rs.Fields("archivename").str()) + " SIZE=50 MAXLENGTH=120></td></tr>"
                  "<tr><td>归档介绍：</td><td><TEXTAREA NAME='descript" + n + "' ROWS=3 COLS=50>" +
                  Text(descript.isNull() ? "" : descript.str()) + "</TEXTAREA></td></tr></table></td></tr>");
    }
    out.Write("<TR bgcolor='#B0BB9D'><td colspan=3><A NAME='#addit'>要建立一个归档，在下面加入新的归档名！</A></TD></tr>");
    out.Write("<tr bgcolor='#C7C6BA'><TD colspan=2 valign=top><B>新的归档：</B></td><td>归档名字："
              "<INPUT TYPE='TEXT' NAME='NewArchiveName' SIZE=50 MAXLENGTH=120><br>归档介绍："
              "<TEXTAREA NAME='NewDescript' ROWS=3 COLS=50></TEXTAREA></td></tr>");
    out.Write(forms::SessionLoginRows("<tr bgcolor='#B0BB9D'><td colspan=2>", SessionLogin()));
    out.Write("</table></td></tr></table><P><INPUT TYPE='SUBMIT' NAME='Submit' VALUE='完 成 修 改'></FORM></center>");
}

void Admin::Archives_ArchiveCenter(core::Page& p) {
    const core::Credentials login = PostedLogin();
    const bool Administrator = RequireLeader(p, login, kNotAllowed).administrator;
    const std::string& moderator = login.name;
    platform::Connection& con = p.Db();
    const platform::RequestCollection& form = Request().Form();
    const auto requireReach = [&](std::int32_t id) {
        if (!Administrator && !HoldsOnlyForumsOf(con, id, moderator)) Refuse(kOutOfReach);
    };
    platform::Transaction tx(con);
    for (const std::string& value : form.Values("Delete")) {
        const std::int32_t id = RecordId(platform::Variant(value));
        requireReach(id);
        con.Execute("delete from archivelist where archiveid=?", {id});
        con.Execute("delete from archive where archiveid=?", {id});
    }
    const std::vector<std::string>& listed = form.Values("hiddenArchiveid");
    for (std::size_t i = 0; i < listed.size(); ++i) {
        const std::string n = std::to_string(i + 1);
        const std::int32_t id = RecordId(platform::Variant(listed[i]));
        const std::string name = form("archivename" + n).str(), descript = form("descript" + n).str();
        // The form lists every archive: those left as they were are no change.
        if (IsUnchanged(con, id, name, descript)) continue;
        requireReach(id);
        con.Execute("update archive set archivename=?, descript=? where archiveid=?", {name, descript, id});
    }
    const std::string newName = Request()("newarchivename").str();
    if (!platform::Trim(newName).empty())
        con.Execute("insert into archive (archivename,descript) values (?, ?)",
                    {newName, Request()("newdescript").str()});
    tx.Commit();
    core::EmptyArchiveJumpLists(Application());
    Response().Write("<br><br><center><P><h3>档案更新结束，重新进入<a href=archive.asp>档案管理</a></h3></p></center>");
}

}  // namespace admin
