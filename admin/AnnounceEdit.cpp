// announce.asp, changing announcements: the pick list, the edit form and
// saving or deleting. An administrator may change every announcement, a
// moderator only those he wrote; the forums of an announcement stay as
// they were chosen when it was published.
#include "admin/Admin.h"
#include "admin/forms/AnnounceForms.h"
#include "core/Module1.h"
#include "platform/Connection.h"
#include "platform/Convert.h"
#include "platform/DateTime.h"
#include "platform/Recordset.h"
#include "platform/Strings.h"

namespace admin {

namespace {

std::string DateText(const platform::Variant& stored) {
    return platform::IsDate(stored) ? platform::FormatDate(platform::CDate(stored)) : stored.str();
}

}  // namespace

void Admin::Announce_EditAnnouncement(platform::Connection& con, bool Administrator) {
    platform::Response& out = Response();
    out.Write("<CENTER><h1>查看和编辑告示</h1><P>注意：只有超级管理员或者版主才能查看或编辑告示。<br></CENTER><ul>");
    out.Write("<FORM ACTION=announce.asp METHOD=POST NAME=REPLIER><table border=0>" +
              forms::AnnounceIdentityRows(SessionLogin()) + "</table>");
    out.Write("<BR><B>目前你可以查看的公告：</B><table border=0 width=90%><tr bgcolor=#f7f7f7><td></td>"
              "<td><B>公告</B></td><td><B>论坛：</B></td><td><B>开始日期：</B></td><td><B>结束日期：</B></td></tr>");
    platform::Recordset rs;
    if (Administrator)
        rs.Open("select * from announce order by posttime desc", con, platform::CursorType::Static);
    else
        rs.Open("select * from announce where username=? order by posttime desc", con, platform::CursorType::Static,
                {PostedLogin().name});
    for (; !rs.Eof(); rs.MoveNext())
        out.Write("<tr bgcolor=#dedfdf><td><INPUT TYPE=RADIO NAME=EditAnnounce VALUE=" + rs.Fields("id").str() +
                  "></td><td>" + Text(rs.Fields("subject").str()) + "</td><td>忽略显示</td><td>" +
                  DateText(rs.Fields("startdate")) + "</td><td>" + DateText(rs.Fields("enddate")) + "</td></tr>");
    out.Write("</table><INPUT TYPE=HIDDEN NAME=action VALUE=reviewannounce><center>"
              "<INPUT TYPE=SUBMIT NAME=Submit VALUE=\"选 定 公 告\"> "
              "<INPUT TYPE=RESET NAME=Reset VALUE=\"清 除 内 容\"></center></FORM>");
}

// The writer of an announcement and the administrators may change it.
void Admin::RequireAnnouncementOwner(bool administrator, const std::string& owner) {
    if (!administrator && !platform::EqualsIgnoreCase(owner, PostedLogin().name))
        Refuse("对不起，您只能编辑自己发布的公告！");
}

void Admin::Announce_ReViewAnnounce(core::Page& p) {
    if (Request()("editannounce").str().empty()) p.Refuse("请选择要编辑的公告！");
    const bool blnAdministrator = RequireLeader(p, PostedLogin(), forms::kUnknownLeader).administrator;
    platform::Connection& con = p.Db();
    const std::int32_t id = RecordId(Request()("editannounce"));
    platform::Recordset rs;
    rs.Open("select * from announce where id=?", con, platform::CursorType::Static, {id});
    if (rs.Eof()) Refuse("该公告不存在！");
    RequireAnnouncementOwner(blnAdministrator, rs.Fields("username").str());

    platform::Response& out = Response();
    out.Write("<CENTER><h1>查看和编辑公告</h1><P>注意：只有超级管理员或者版主可以建立，查看或编辑告示。<br></CENTER>");
    out.Write("<FORM ACTION=announce.asp METHOD=POST NAME=REPLIER><INPUT TYPE=HIDDEN NAME=announceid VALUE=" +
              std::to_string(id) + "><table border=0>");
    out.Write(forms::AnnounceIdentityRows(SessionLogin()));
    out.Write("<tr><td><B>主题：</B></td><td><INPUT TYPE=TEXT NAME=Subject SIZE=30 MAXLENGTH=100 VALUE=" +
              Attr(rs.Fields("subject").str()) + "></td></tr>");
    const platform::Variant content = rs.Fields("content");
    out.Write("<tr><td valign=top><B>要编辑的公告：</B><BR><FONT COLOR=#808000>你可以在消息中<BR>使用 "
              "<A HREF=../ubbcode.htm target=_new>UBB 代码</a><BR></FONT></td>"
              "<td><FONT COLOR=#800000>原来的发布人：" + Text(rs.Fields("username").str()) + "</FONT><BR>"
              "<TEXTAREA NAME=EditedMessage ROWS=10 COLS=50 WRAP=SOFT>" +
              Text(content.isNull() ? "" : content.str()) + "</TEXTAREA></td></tr>");
    out.Write("<tr><td><B>发表公告的论坛：</B></td><td>忽略</td></tr>");
    auto parts = [](const platform::Variant& stored) {
        return platform::IsDate(stored) ? platform::Parts(platform::CDate(stored)) : platform::DateParts{};
    };
    const platform::DateParts start = parts(rs.Fields("startdate")), end = parts(rs.Fields("enddate"));
    out.Write(forms::AnnounceDateRows(start.month, start.day, start.year, end.month, end.day, end.year));
    out.Write("<tr><td colspan=2><center><B>要删除告示，选中此框　<INPUT TYPE=CHECKBOX NAME=Delete ></B></center>"
              "</td></tr></table><INPUT TYPE=HIDDEN NAME=action VALUE=submitanncedit><center>"
              "<INPUT TYPE=SUBMIT NAME=Submit VALUE=\"完 成 公 告\"> "
              "<INPUT TYPE=RESET NAME=Reset VALUE=\"清 除 内 容\"></center></FORM>");
}

void Admin::Announce_submitAnncedit(core::Page& p) {
    const bool blnAdministrator = RequireLeader(p, PostedLogin(), forms::kUnknownLeader).administrator;
    platform::Connection& con = p.Db();
    const platform::Request& in = Request();
    const std::int32_t id = RecordId(in("announceid"));
    const bool remove = in("delete").str() == "on";
    std::string subject, content;
    platform::DateTime start, end;
    if (!remove) ReadAnnounceFields(subject, content, start, end);
    {
        platform::Recordset rs;
        rs.Open("select username from announce where id=?", con, {id});
        // Deleting what is gone already answers as a delete does.
        if (rs.Eof() && !remove) Refuse("该公告已经不存在！");
        if (!rs.Eof()) RequireAnnouncementOwner(blnAdministrator, rs.Fields(0).str());
    }
    if (remove) {
        platform::Transaction tx(con);
        con.Execute("delete from announceto where id=?", {id});
        con.Execute("delete from announce where id=?", {id});
        tx.Commit();
    } else {
        con.Execute("update announce set subject=?, content=?, startdate=?, enddate=?, username=? where id=?",
                    {subject, content, start, end, PostedLogin().name, id});
    }
    Response().Write("<br><br><center><p><h3>公告修改结束，重新进入<a href=announce.asp>公告发布中心</a></h3></p></center>");
}

}  // namespace admin
