#include "admin/forms/ForumForms.h"

#include "admin/ForumRules.h"
#include "admin/forms/LoginRows.h"
#include "platform/Charset.h"

namespace admin::forms {

namespace {

std::string Attr(const std::string& value) { return platform::QuotedAttribute(value); }
std::string Text(const std::string& value) { return platform::HtmlEncode(value); }
std::string Selected(bool on) { return on ? " selected" : ""; }

std::string IdentityBlock(const core::Credentials& login) {
    return "首先认证你的身份（只有超级管理员才可以增加新的论坛）<BR>"
           "<table border=0><tr><td><b>你的用户名：</b></td><td><INPUT TYPE=TEXT NAME=UserName SIZE=25 "
           "MAXLENGTH=25 value=" + Attr(login.name) + "></td></tr>"
           "<tr><td><b>你的密码：</b></td><td><INPUT TYPE=PASSWORD NAME=Password SIZE=13 MAXLENGTH=13 value=" +
           Attr(login.password) + "></td></tr></table><hr>";
}

// The table of a forum's fields; `moderatorCell` ends it with the moderator row.
std::string ForumTable(const ForumFields& forum, const std::vector<std::string>& catalogs,
                       const std::string& moderatorCell) {
    const AccessRule rule = ReadAccessRule(forum.restrict);
    std::string html = "<table width=95% border=0 cellspacing=0 cellpadding=0><tr><td bgcolor=#000000>"
                       "<table width=100% border=0 cellspacing=1 cellpadding=4>"
                       "<tr bgcolor=#D3CE87><td colspan=2><B>新论坛</B></td></tr>"
                       "<tr bgcolor=#c7c6ba><td><B>名称:</B></td><td><INPUT TYPE=TEXT NAME=forumname SIZE=30 "
                       "MAXLENGTH=100 VALUE=" + Attr(forum.name) + "></td></tr>";

    html += "<tr bgcolor=#d5d2bb><td><B>类别</B><br>你可以选择一个存在的类别，或新增一个类别。新增类别时请和选择新类别，"
            "并输入新类别的名称</td><td><select name=catalog>";
    for (const std::string& c : catalogs)
        html += "<OPTION Value=" + Attr(c) + (!forum.catalog.empty() && c == forum.catalog ? " selected>" : " >") +
                Text(c);
    html += "</select> <input type=checkbox name=newcatalog>新类别 "
            "<input type=text name=newcatalogName size=25 maxlength=25></td></tr>";

    html += "<tr bgcolor=#c7c6ba><td><B>访问限制</B><br>你可把此论坛完全设置成私家论坛，只有输入论坛密码的用户才能进入；"
            "否则可以规定谁能在论坛里发表话题和回复贴子。</td><td>";
    html += std::string("<INPUT TYPE=CHECKBOX NAME=Private VALUE=private") + (rule.isPrivate ? " checked>" : " >") +
            "私家论坛 - 读/写 只有超级管理员，版主和特权用户<FONT COLOR=#800000>*</font>才能查看和发表贴子";
    html += "<BR>论坛密码：<INPUT TYPE=TEXT NAME=forumpassword SIZE=12 MAXLENGTH=12 value=" + Attr(forum.password) + ">";
    html += "<CENTER>发表条件（当所有用户都可以看到贴子时）</CENTER>"
            "如果这个论坛没有设置成私家论坛，你可以确定哪些用户可以在论坛里发表新话题和回复贴子。";
    html += "<br>谁能发表话题？<select name=TopicRestrict>";
    html += "<option value=restrict" + Selected(rule.topic == "restrict") + ">超级管理员，版主和特权用户";
    html += "<option value=allreg" + Selected(rule.topic == "allreg") + ">所有注册用户";
    html += "<option value=all" + Selected(rule.topic == "all") + ">任何用户（包含未注册的）</select>";
    html += "<br>谁能回复话题？<select name=ReplyRestrict>";
    html += "<option value=restrict" + Selected(rule.reply == "restrict") + ">超级管理员，版主和特权用户";
    html += "<option value=allreg" + Selected(rule.reply == "allreg") + ">任何注册用户";
    html += "<option value=all" + Selected(rule.reply == "all") + ">任何用户 (包含未注册的)";
    html += "<option value=none" + Selected(rule.reply == "none") + ">没有人可以回复贴子</select>";
    html += "<p><FONT COLOR=#800000>* 特权用户是版主或主持人授予其特殊的权限使用私家论坛的人。管理员可以把论坛密码告知该用户以便进入。"
            "</FONT></td></tr>";

    html += "<tr bgcolor=#d5d2bb><td><B>论坛描述：</B><br>这些描述将出现在用户访问时的所有论坛的摘要中。</td><td>"
            "<TEXTAREA NAME=Descript ROWS=3 COLS=30 wrap=VIRTUAL>" + Text(forum.descript) + "</TEXTAREA></td></tr>";
    html += "<tr bgcolor=#c7c6ba><td>" + moderatorCell;
    html += "</table></td></tr></table>";
    return html;
}

}  // namespace

std::string ForumLoginForm(const core::Credentials& login) {
    return "<BR><center><h1>论 坛 设 置</h1></center><P><center>"
           "<FONT COLOR=#800000><b>你必须是超级管理员才能改变论坛设置。</b></FONT>"
           "<FORM ACTION=forum.asp METHOD=POST NAME=THEFORM >"
           "<table width=65% border=0 cellspacing=1 cellpadding=4>" +
           SessionLoginRows("<tr bgcolor=#C7C6BA><td>", login) +
           "</table>"
           "<INPUT TYPE=HIDDEN NAME=action VALUE=login><INPUT TYPE=HIDDEN NAME=StartPoint VALUE=0>"
           "<INPUT TYPE=SUBMIT NAME=Submit VALUE=\"发 送 身 份 确 认\"></FORM></center>";
}

std::string NewForumForm(const core::Credentials& login, const std::vector<std::string>& catalogs) {
    const ForumFields blank{"在此输入论坛名称", "", "allreg&allreg", "", ""};
    return "<BR><center><h1>增 加 新 论 坛</h1></center><P><B>完整填写下面的表格就可新增论坛！</B><P>"
           "<FORM ACTION=forum.asp METHOD=POST NAME=THEFORM>" +
           IdentityBlock(login) +
           "<table width=95% border=0><tr><td><B><FONT COLOR=#800000>在下面新增论坛</FONT></B></td></tr></table>" +
           ForumTable(blank, catalogs,
                      "<B>版主设定</B><BR>现在，我们允许你在新增论坛时同时设定一个版主，当然你也可以忽略此选项</td><td>"
                      "<B>新任版主：</b><input type=text size=25 maxlength=25 name=moderater>"
                      "<p><b>注意：</b>版主必须是已经注册的用户</p></td></tr>") +
           "<INPUT TYPE=HIDDEN NAME=action VALUE=addnewforum>"
           "<center><INPUT TYPE=SUBMIT NAME=Submit VALUE=\"新 增 此 论 坛\"></center></FORM>";
}

std::string EditForumForm(const core::Credentials& login, const ForumFields& forum,
                          const std::vector<std::string>& catalogs, const std::vector<std::string>& moderators) {
    std::string moderatorCell = "<B>版主设定</B><BR>现在，你可以新增版主，或删除已经存在的版主，要删除已经存在的版主，"
                                "请核选该版主前的核选框</td><td>";
    if (!moderators.empty()) moderatorCell += "<b>现任版主：</b><br>";
    for (const std::string& name : moderators)
        moderatorCell += "<input type=checkbox name=deletemoderater value=" + Attr(name) + ">" + Text(name) + "<br>";
    moderatorCell += "<B>新任版主：</b><br><input type=text size=25 maxlength=25 name=moderater>"
                     "<p><b>注意：</b>版主必须是已经注册的用户</p></td></tr>";

    return "<BR><center><h1>重 新 设 置 论 坛</h1></center><P><B>完整填写下面的表格就可重新设置论坛！</B><P>"
           "<FORM ACTION=forum.asp METHOD=POST NAME=THEFORM>" +
           IdentityBlock(login) +
           "<table width=95% border=0><tr><td><B><FONT COLOR=#800000>在下面重新设置论坛</FONT></B></td></tr></table>"
           "<table width=95% border=0><tr><td><B><FONT COLOR=#800000><input type=checkbox name=deleteforum >"
           "要删除论坛，请选择此核选框，这将导致该论坛的所有贴子都被删除！！</FONT></B></td></tr></table><P>" +
           ForumTable(forum, catalogs, moderatorCell) +
           "<P><BR><INPUT TYPE=HIDDEN NAME=action VALUE=submitedit>"
           "<input type=hidden name=oldforumname value=" + Attr(forum.name) + "> "
           "<center><INPUT TYPE=SUBMIT NAME=Submit VALUE=\"重 新 设 置 此 论 坛\"></center></FORM>";
}

}  // namespace admin::forms
