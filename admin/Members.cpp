// member.asp: the member search, the result list with the two rights of each
// member, and the saving of deletions and rights. The record of one member
// is edited in admin/MemberRecord.cpp.
#include "admin/Admin.h"
#include "admin/forms/MemberForms.h"
#include "admin/MemberRows.h"
#include "core/Module1.h"
#include "core/Settings.h"
#include "platform/Connection.h"
#include "platform/Convert.h"
#include "platform/Recordset.h"
#include "platform/Strings.h"

namespace admin {

namespace {

constexpr long kMembersPerPage = 50;

bool IsPostCountComparison(const std::string& math) { return math == ">=" || math == "<=" || math == "="; }

}  // namespace

void Admin::Permissions(const PanelStep& step) {
    RunPanelPage("用户信息与权限 - " + core::CurrentSettings().BBName, step);
}

void Admin::Permissions_SearchForm(core::Page&) { Response().Write(forms::MemberSearchForm(SessionLogin())); }

void Admin::Permissions_GetMatchs(core::Page& p) {
    const platform::Request& in = Request();
    // The result's page links come back by GET, with the session's panel login.
    if (in.ServerVariables("request_method").str() == "POST")
        RequireAdministrator(p, PostedLogin().name, PostedLogin().password, kRefused);
    else
        RequireAdministrator(p, SessionUserName(), SessionPassword(), kRefused);
    platform::Connection& con = p.Db();
    const platform::Variant pageField = in("page");
    long page = !pageField.isEmpty() && core::IsPositiveNumber(pageField) ? platform::CInt(pageField) : 1;

    const std::string nn = in("NN").str(), email = in("Email").str(), math = in("Math").str();
    const std::string posts = in("Posts").str(), viewEntire = in("ViewEntire").str();
    std::string where;
    platform::SqlParams params;
    if (platform::LCase(viewEntire) != "yes") {
        if (!IsPostCountComparison(math)) {
            ErrorForm("对不起，发帖数目只能用 &gt;=、&lt;= 或 = 比较！");
            return;
        }
        where = " where postcount" + math + "?";
        params.push_back(platform::CLng(platform::Variant(platform::Val(posts))));
        if (!email.empty()) {
            where += " and email like ?";
            params.push_back("%" + email + "%");
        }
        if (!nn.empty()) {
            where += " and username like ?";
            params.push_back("%" + nn + "%");
        }
    }
    platform::Recordset rs;
    rs.CacheSize(kMembersPerPage);
    rs.PageSize(kMembersPerPage);
    rs.Open("select canpost,username,postcount,status,signdate from register" + where + " order by signdate desc",
            con, platform::CursorType::Static, params);
    const long total = rs.RecordCount();

    platform::Response& out = Response();
    out.Write("<center><h1>设 置 用 户 权 限</h1></center><p>共搜索到 " + std::to_string(total) + " 个注册用户.");
    out.Write("做任何必要的修改并在修改任何/所有的用户后按发送。如果要删除用户，请选中任何你想要删除的用户左边的框。");
    out.Write("<FORM ACTION=member.asp METHOD=POST NAME=PERMISS ><INPUT TYPE=HIDDEN NAME=action VALUE=updatepermiss>");
    out.Write("按姓名名查看个人信息细节并进入高级权限设置?<BR><P><center>");
    out.Write("<table border=0 cellpadding=0 cellspacing=0 width=95%><TR><td bgcolor=#000000>"
              "<table border=0 cellpadding=4  cellspacing=1 width=100%>");
    if (total > 0) {
        const long pageCount = rs.PageCount();
        if (page > pageCount) page = pageCount;
        rs.AbsolutePage(page);
        const long first = (page - 1) * kMembersPerPage + 1;
        const long last = page < pageCount ? page * kMembersPerPage : total;
        out.Write("<TR bgcolor=#FFFFFF><TD colspan=6>匹配显示 " + std::to_string(first) + " - " + std::to_string(last) +
                  "(总共是 " + std::to_string(total) + " 人)");
        if (pageCount >= 2) {
            const std::string criteria = "&NN=" + Server().URLEncode(nn) + "&Email=" + Server().URLEncode(email) +
                                         "&Math=" + Server().URLEncode(math) + "&Posts=" + Server().URLEncode(posts) +
                                         "&ViewEntire=" + Server().URLEncode(viewEntire);
            auto link = [&](long to, const char* label) {
                return "<A HREF=" + Attr("member.asp?action=getmatches&page=" + std::to_string(to) + criteria) + ">" +
                       label + "</A>";
            };
            if (page > 1) out.Write("&nbsp;&nbsp;&nbsp;&nbsp; [" + link(page - 1, "上一页") + "]");
            if (page < pageCount)
                out.Write(std::string(page > 1 ? "&nbsp;&nbsp;[" : "&nbsp;&nbsp;&nbsp;&nbsp; [") +
                          link(page + 1, "下一页") + "]");
        }
        out.Write("</td></tr>");
        out.Write("<TR bgcolor=#B0BB9D valign=bottom><td><B>删除？</B></td><td width=140><font size=2 "
                  "face=\"Verdana, Arial\"><B>用户名、注册日期</B></font></td><td><B>是否允许发表贴子？</B></td>"
                  "<td><B>授权管理员权力？</B></td><td><B>状态</B></td><td><B>发表总数</B></td></TR>");
        for (int i = 1; i <= kMembersPerPage && !rs.Eof(); ++i, rs.MoveNext()) {
            const std::string name = rs.Fields("username").str();
            const platform::Variant canpost = rs.Fields("canpost"), status = rs.Fields("status");
            const bool canPost = !canpost.isNull() && platform::CBool(canpost);
            const bool admin = !status.isNull() && platform::LCase(status.str()) == "administrator";
            const std::string n = std::to_string(i);
            out.Write(std::string("<tr bgcolor=") + (i % 2 ? "#f7f7f7" : "#dedfdf") + ">");
            out.Write("<td align=center><input type=hidden name=hiddenUsername value=" + Attr(name) +
                      "><INPUT TYPE=CHECKBOX NAME=Delete VALUE=" + Attr(name) + "></td>");
            out.Write("<td><A HREF=" + Attr("member.asp?action=getbio4admin&UserName=" + Server().URLEncode(name)) +
                      " target=_blank>" + Text(name) + "</A><br>" + Text(rs.Fields("signdate").str()) + "</td>");
            out.Write("<td><INPUT TYPE=RADIO NAME=AdminWrite" + n + " VALUE=true " + (canPost ? "CHECKED" : "") +
                      ">Yes &nbsp;&nbsp;<INPUT TYPE=RADIO NAME=AdminWrite" + n + " VALUE=false " +
                      (canPost ? "" : "checked") + ">No</td>");
            out.Write("<td><INPUT TYPE=RADIO NAME=AdminPermission" + n + " VALUE=true " + (admin ? "checked" : "") +
                      ">Yes &nbsp;&nbsp;<INPUT TYPE=RADIO NAME=AdminPermission" + n + " VALUE=false " +
                      (admin ? "" : "checked") + ">No</td>");
            platform::Variant icon, title;
            core::GetUserRank(status, rs.Fields("postcount"), icon, title);
            out.Write("<td>" + title.str() + "</td><td>" + rs.Fields("postcount").str() + "</td></tr>");
        }
    }
    out.Write("</table></td></tr></table>");
    out.Write("<FONT COLOR=#800000><B>基于安全因素，再次输入你的用户名和密码：<BR>用户名：<INPUT TYPE=TEXT NAME=UserName "
              "SIZE=25 MAXLENGTH=25 value=" + Attr(SessionUserName()) + "> 密码：<INPUT TYPE=PASSWORD NAME=Password "
              "SIZE=13 MAXLENGTH=13 value=" + Attr(SessionPassword()) + "></B></FONT><P>");
    out.Write("<INPUT TYPE=SUBMIT NAME=Submit VALUE=\"完 成 权 限 更 改\"></center></form>");
}

void Admin::Permissions_updatepermiss(core::Page& p) {
    RequireAdministrator(p, PostedLogin().name, PostedLogin().password, kRefused);
    platform::Connection& con = p.Db();
    const platform::RequestCollection& form = Request().Form();
    platform::Transaction tx(con);
    for (const std::string& name : form.Values("Delete")) DeleteMember(con, name);
    const auto& listed = form.Values("hiddenUsername");
    for (std::size_t i = 0; i < listed.size(); ++i) {
        const std::string& name = listed[i];
        const std::string n = std::to_string(i + 1);
        // Only an explicit choice changes a right; a missing or other value
        // leaves the member as he is.
        const std::string admin = form("AdminPermission" + n).str();
        if (admin == "false")
            con.Execute("update register set status=null where username=? and lower(ifnull(status,''))<>'moderater'",
                        {name});
        else if (admin == "true")
            con.Execute("update register set status='administrator' where username=?", {name});
        const std::string write = form("AdminWrite" + n).str();
        if (write == "true") con.Execute("update register set canpost=1 where username=?", {name});
        else if (write == "false") con.Execute("update register set canpost=0 where username=?", {name});
    }
    tx.Commit();
    Response().Write("<br><br><center><p><h3>成员权限更新结束，<a href=member.asp>重新进入成员权限管理</a>！");
}

}  // namespace admin
