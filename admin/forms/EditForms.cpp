#include "admin/forms/EditForms.h"

#include "platform/Charset.h"
#include "platform/Convert.h"
#include "platform/DateTime.h"
#include "platform/Recordset.h"
#include "platform/Strings.h"

namespace admin::forms {

std::string EditMenu(const core::Credentials& login) {
    return "<BR><center><h1>编 辑 和 删 除 帖 子</h1></center><center><P><B><FONT COLOR=#800000>"
           "注意：只有超级管理员和版主才可以编辑或删除消息。版主只能在他们自己的论坛中改变消息。在下面认证你的身份。"
           "</font></B></center>"
           "<FORM ACTION=edit.asp METHOD=POST NAME=THEFORM ><center>"
           "<table border=0 cellpadding=0 cellspacing=0 width=90%><TR><TD bgcolor=#000000>"
           "<table border=0 cellspacing=1 width=100%>"
           "<tr bgcolor=#8EA3B7><TD colspan=3><B>超级管理员和版主 身份认证：</B>"
           "<tr bgcolor=#8EA3B7><td width=25>&nbsp;</td><td><B>用户名：</B><BR>"
           "<INPUT TYPE=TEXT NAME=UserName SIZE=25 MAXLENGTH=25 value=" + platform::QuotedAttribute(login.name) +
           "></td>"
           "<td><B>密码</B><BR><INPUT TYPE=PASSWORD NAME=Password SIZE=15 MAXLENGTH=15 value=" +
           platform::QuotedAttribute(login.password) + "></td></tr>"
           "<TR bgcolor=#C6CFA0><TD width=25><INPUT TYPE=RADIO NAME=EditFunction VALUE=Prune CHECKED></td>"
           "<td colspan=2><B>根据日期删除：</b><br>一个广泛的删除选项可以删除一个论坛所有的消息或基于一段你选定的时间内的消息。"
           "</td></tr>"
           "<TR bgcolor=#C6CFA0><TD width=25 valign=top><INPUT TYPE=RADIO NAME=EditFunction VALUE=PruneUser></td>"
           "<td colspan=2><B>根据用户删除：</b><br>一个广泛的删除选项可删除某个用户发表的所有的消息。<P>"
           "如果你正在删除某个 <font color=#800000>注册</font> 用户的帖子，你可输入全部或部分的用用户名，"
           "我们会为你生成一个符合的用户名列表。<P>用户名：<INPUT TYPE=TEXT NAME=DeleteName SIZE=20 MAXLENGTH=25>"
           "</td></tr>"
           "<TR bgcolor=#C6CFA0><td width=25><INPUT TYPE=RADIO NAME=EditFunction VALUE=Edit></td>"
           "<TD colspan=2><B>编辑/删除消息：</b><br>编辑某个特定的消息，有一份来自于超级管理员和版主的注释会出现在消息中。"
           "</td></tr>"
           "</table></td></tr></table><p><input type=hidden name=action value='EditFunction'>"
           "<INPUT TYPE=SUBMIT NAME=Submit VALUE='完 成 选 择'></center></form><BR>";
}

std::string EditIdentityRow(const std::string& colspan, const core::Credentials& login) {
    return "<tr><td colspan=" + colspan + "><CENTER><BR><FONT  COLOR=#800000><B>基于安全因素，请再输入你的用户名和密码：<BR>"
           "用户名：<INPUT TYPE=TEXT NAME=UserName SIZE=25 MAXLENGTH=25 value=" + platform::QuotedAttribute(login.name) +
           ">&nbsp;&nbsp;&nbsp;&nbsp; 密码：<INPUT TYPE=PASSWORD NAME=Password SIZE=13 MAXLENGTH=13 value=" +
           platform::QuotedAttribute(login.password) + "></FONT><P>";
}

std::string ForumChoice(const std::string& forumList, const std::string& heading, const std::string& prompt,
                        const std::string& label) {
    std::string html = "<br><center><h1>" + heading + "</h1></center><p><B>" + prompt + "</B><P>"
                       "<FORM ACTION='edit.asp' METHOD='POST'><center><table border=1 width=95%>"
                       "<TR bgcolor='#C6CFA0'><TD>" + label + "</td><TD valign=top><SELECT NAME=ForumName SIZE=1>";
    if (!forumList.empty())
        for (const std::string& forum : platform::Split(forumList, ","))
            html += "<OPTION VALUE=" + platform::QuotedAttribute(forum) + ">" + platform::HtmlEncode(forum);
    return html + "</select></td>";
}

std::string DaysAndSubmit(const std::string& action) {
    return "<tr bgcolor='#C6CFA0'><td><B>删除过去一定天数以来的辩论：</B></td>"
           "<TD><B><INPUT TYPE='TEXT' NAME='DaysPrune' VALUE='60' SIZE=3 MAXLENGTH=3> 天。</B></td></tr>"
           "</table><P><BR><INPUT TYPE='HIDDEN' NAME='action' VALUE='" + action + "'>"
           "<CENTER><INPUT TYPE='SUBMIT' NAME='Submit' VALUE='发 送 论 坛 选 择'></FORM></CENTER>";
}

std::string TopicStepForm(const core::Credentials& login, const std::string& subject, const std::string& postid,
                          bool forDelete) {
    std::string html = std::string("<BR><center><h1>") + (forDelete ? "删 除 主 题" : "编 辑 消 息") +
                       "</h1></center><p><center><FORM ACTION=edit.asp METHOD=POST NAME=Edit><B>" +
                       (forDelete ? "删除主题" : "编辑主题") +
                       "，再次输入你的用户名和密码，然后按发送按钮。<br></B><BR><table width=600 border=0>";
    if (forDelete)
        html += "<TR><td colspan=2><FONT COLOR=#800000><B>话题主题: </B>" + platform::HtmlEncode(subject) +
                "</FONT></td>";
    else
        html += "<TR><td><FONT COLOR=#800000><B>话题主题</B></FONT></td><td><INPUT TYPE=TEXT NAME=NewSubject VALUE=" +
                platform::QuotedAttribute(subject) + " SIZE=40 MAXLENGTH=120></td>";
    html += EditIdentityRow("2", login);
    html += "<INPUT TYPE=HIDDEN NAME=topic VALUE=\"" + postid + "\">";
    html += forDelete ? "<input type=hidden name=action value=doDeleteThread>"
                        "<INPUT TYPE=SUBMIT NAME=Submit VALUE='删除整个话题'>"
                      : "<input type=hidden name=action value=submitEditSubject>"
                        "<INPUT TYPE=SUBMIT NAME=Submit VALUE='完 成 主 题 编 辑'>";
    return html + "</form></CENTER></td></table>";
}

std::string TopicListHead(const std::string& firstHeading) {
    return "<table cellpadding=4 width=100%><tr bgcolor='#000000'><td><b><FONT color='#ffffff'>" + firstHeading +
           "</FONT></b></td><td width=80><b><FONT color='#ffffff'>原作者</FONT></b></td>"
           "<td width=26><b><FONT color='#ffffff'>回复</FONT></b></td>"
           "<td width=100><b><FONT color='#ffffff'>最后发表日期</FONT></b></td>";
}

std::string TopicCells(platform::Recordset& rs) {
    const platform::Variant last = rs.Fields("lastreplyposttime");
    return "<td>" + platform::HtmlEncode(rs.Fields("username").str()) + "</td><td align=center>" +
           rs.Fields("replycount").str() + "</td><td>" +
           (last.isNull() ? "" : platform::FormatDate(platform::CDate(last))) + "</td></tr>";
}

}  // namespace admin::forms
