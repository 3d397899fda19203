#include "admin/forms/MemberForms.h"

#include "core/Settings.h"
#include "platform/Charset.h"

namespace admin::forms {

std::string MemberSearchForm(const core::Credentials& login) {
    return "<BR><center><h1>用 户 信 息 与 权 限</h1></center><P>"
           "如果你是一个超级管理员，你可以改变在 " + core::CurrentSettings().BBName +
           " 注册的任何人的进入权限。你可以在此增加/删除发表权限或设定某个注册用户为超级管理员<P>"
           "如果你打算注册一个新用户，<A HREF=../signup.asp>按这里</A>。<center><P>"
           "<FORM ACTION=member.asp METHOD=POST NAME=THEFORM ><INPUT TYPE=HIDDEN NAME=action VALUE=getmatches>"
           "<table border=0 cellpadding=0 cellspacing=0 width=65%><tr><td bgcolor=#000000>"
           "<table border=0 cellpadding=4 cellspacing=1 width=100%>"
           "<tr bgcolor=#8EA3B7><td colspan=2><B>超级管理员身份确认：</B></td></tr>"
           "<tr bgcolor=#8EA3B7><td><B>超级管理员 用户名：</B><BR><INPUT TYPE=TEXT NAME=UserName SIZE=25 "
           "MAXLENGTH=25 value=" + platform::QuotedAttribute(login.name) + "></td><td><B>超级管理员 密码：</B><BR>"
           "<INPUT TYPE=PASSWORD NAME=Password SIZE=15 MAXLENGTH=15 value=" +
           platform::QuotedAttribute(login.password) + "></td></tr>"
           "<tr bgcolor=#C6CFA0><td colspan=2 align=center><INPUT TYPE=CHECKBOX NAME=ViewEntire VALUE=Yes>"
           "<B>选择此框查看所有的注册用户！或：通过下列条件搜索用户名。</b></td></tr>"
           "<tr bgcolor=#C6CFA0><td width=200><B>用户名</B></td><td><INPUT TYPE=TEXT NAME=NN SIZE=25 "
           "MAXLENGTH=25></td></tr>"
           "<tr bgcolor=#C6CFA0><td width=200><B>邮件地址</B></td><td><INPUT TYPE=TEXT NAME=Email SIZE=30 "
           "MAXLENGTH=70></td></tr>"
           "<tr bgcolor=#C6CFA0><td width=200><B>发帖数目</B></td><td><select name=Math>"
           "<option value=\"&gt;=\">&gt;=<option value=\"&lt;=\">&lt;=<option value=\"=\">=</select> "
           "<INPUT TYPE=TEXT NAME=Posts SIZE=3 MAXLENGTH=5></td></tr>"
           "</table></td></tr></table>"
           "<BR><INPUT TYPE=SUBMIT NAME=Submit VALUE=\"获 得 用 户 信 息\"> "
           "<INPUT TYPE=RESET NAME=Reset VALUE=\"清 除 内 容\"></form></center>";
}

}  // namespace admin::forms
