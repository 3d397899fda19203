// member.asp: the record of one member (name, nickname, picture, upload
// folder) and its save, which renames the member across the board.
#include "admin/Admin.h"
#include "admin/MemberRows.h"
#include "admin/Upload.h"
#include "core/Module1.h"
#include "platform/Connection.h"
#include "platform/Recordset.h"
#include "platform/Strings.h"

namespace admin {

namespace {

// The registration's limit on the length of a member name.
constexpr int kMemberNameLength = 15;

}  // namespace

void Admin::Permissions_getbio4admin(core::Page& p) {
    // Reached by the member list's links, with the session's panel login.
    RequireAdministrator(p, SessionUserName(), SessionPassword(), kRefused);
    platform::Connection& con = p.Db();
    platform::Recordset rs;
    rs.Open("select * from register where username=?", con, {Request()("UserName")});
    if (rs.Eof()) {
        ErrorForm("对不起，该用户不存在！");
        return;
    }
    auto field = [&](const char* label, const char* name, const std::string& value) {
        return std::string("<tr bgcolor=#c7c6ba><TD>") + label + "</td><td><INPUT TYPE=TEXT NAME=" + name +
               " VALUE=" + Attr(value) + " SIZE=25 MAXLENGTH=25></td></tr>";
    };
    const std::string name = rs.Fields("username").str();
    platform::Response& out = Response();
    out.Write("<BR><center><h1>重 新 设 置 用 户</h1></center><P><B>完整填写下面的表格就可重新设置用户信息！</B><P>");
    out.Write("<FORM ACTION=member.asp METHOD=POST NAME=THEFORM>首先认证你的身份（只有超级管理员才可以设置用户信息）<BR>");
    out.Write("<table border=0><tr><td><b>你的用户名：</b></td><td><INPUT TYPE=TEXT NAME=UserName SIZE=25 MAXLENGTH=25 "
              "value=" + Attr(SessionUserName()) + "></td></tr><tr><td><b>你的密码：</b></td><td><INPUT TYPE=PASSWORD "
              "NAME=Password SIZE=13 MAXLENGTH=13 value=" + Attr(SessionPassword()) + "></td></tr></table>");
    out.Write("<hr><table width=95% border=0><tr bgcolor=#FFFFFF><td><B><FONT COLOR=#800000>在下面设置用户信息</FONT></B>"
              "</td></tr></table><P>");
    out.Write("<table width=95% border=0 cellspacing=0 cellpadding=0><tr><td bgcolor=#000000>"
              "<table width=100% border=0 cellspacing=1 cellpadding=4>");
    out.Write("<tr bgcolor=#D3CE87><td colspan=2><B>修改用户信息</B></td></tr>");
    out.Write(field("<B>名称:</B><br>我们的BBS允许你更改已注册用户的注册名", "NewUserName", name));
    out.Write("<tr bgcolor=#c7c6ba><TD><B>用户密码:</B><br>用户密码只显示，你可以根据密码重新修改用户资料</td>"
              "<td><font color=red><b>" + Text(rs.Fields("password").str()) + "</b></font></tr>");
    out.Write(field("<B>友好名称:</B><br>友好名称是有别于注册名的一个展示注册用户个性的名字，一般只有一定资格的用户才能拥有",
                    "nickname", rs.Fields("nickname").str()));
    out.Write(field("<B>用户图标:</B><br>用户可以选择一个自己喜欢的图标来替代缺省的图标，当然，这也只有一定资格的用户才能拥有"
                    "（图标请上传到tarnbell的icon目录）并输入\"icon/图标文件名\"",
                    "icon", rs.Fields("icon").str()));
    out.Write(field("<B>上传目录:</B><br>上传目录是给用户上传文件之用，该目录应该首先由管理员建立。为了安全起见，用户上传目录均是"
                    "相对于某一目录，所有目录应该没有脚本/执行权限。如先建立一个上传根目录c:\\users,取消该目录的脚本/执行权限，"
                    "然后为所有的用户在c:\\users建立上传子目录，如用户qzv建立上传目录qzv,你只需输入qzv,而该用户的真实目录是"
                    "c:\\users\\qzv",
                    "uploaddir", rs.Fields("uploaddir").str()));
    out.Write("</table></td></tr></table><P><BR><INPUT TYPE=HIDDEN NAME=action VALUE=submitedit>");
    out.Write("<INPUT TYPE=HIDDEN NAME=oldUserName VALUE=" + Attr(name) + ">");
    out.Write("<CENTER><INPUT TYPE=SUBMIT NAME=Submit VALUE=\"重 新 设 置 此 用 户\"></CENTER></FORM>");
}

void Admin::Permissions_SubmitEdit(core::Page& p) {
    RequireAdministrator(p, PostedLogin().name, PostedLogin().password, kRefused);
    platform::Connection& con = p.Db();
    const platform::Request& in = Request();
    std::string newName = platform::Trim(in("NewUserName").str());
    const std::string oldName = platform::Trim(in("oldUserName").str());
    const std::string uploaddir = in("uploaddir").str();
    if (!IsPlainFolderName(uploaddir)) {
        ErrorForm("上传目录只能是上传根目录下的一个目录名称，不能含有“/”、“\\”或“..”！");
        return;
    }
    platform::Transaction tx(con);
    if (newName != oldName) {
        if (!core::IsValidUserName(newName, kMemberNameLength)) {
            ErrorForm("用户名称" + Text(newName) + "不合法：用户名只能由字母、数字和汉字组成，最多" +
                      std::to_string(kMemberNameLength) + "个字符！");
            return;
        }
        platform::Recordset taken;
        taken.Open("select username from register where username=?", con, {newName});
        if (!taken.Eof()) {
            ErrorForm("用户名称" + Text(newName) + "已经存在，请选择其他名称!");
            return;
        }
        taken.Close();
        RenameMember(con, oldName, newName);
    }
    con.Execute("update register set icon=?, nickname=?, uploaddir=? where username=?",
                {in("icon").str(), in("nickname").str(), uploaddir, newName});
    tx.Commit();
    Response().Write("<br><br><center><p><h3>用户资料更新结束，重新进入用户权限设置</b></p></center>");
}

}  // namespace admin
