#include "admin/forms/MailForms.h"

#include "admin/forms/LoginRows.h"
#include "core/Settings.h"
#include "platform/Charset.h"

namespace admin::forms {

std::string MassMailForm(const core::Credentials& login) {
    return "<BR><center><h1>给 用 户 发 E-MAIL</h1></center><P>"
           "<b>注意：只有管理员可以给所有的注册用户发送组件邮件。</b><p>"
           "注意: 这份邮件不能送达被那些选择了不想接信的注册用户?你的注册用户户口本中有一个选项可以调整是否要接收此类邮件?"
           "<P>这份邮件会独立地送达每个用户（用户不会收到所有的电子邮件地址列表）。<P>"
           "如果你喜欢。你也可以使用你自己的群组邮件软件并生成一个你的注册用户邮件列表（然后你可以输入到你的群组邮件软件）"
           "想要如此做的话，选中消息框下面复选框。<P>"
           "<FORM ACTION='mail.asp' METHOD='POST' NAME='THEFORM'>"
           "<INPUT TYPE='HIDDEN' NAME='action' VALUE='mailusers'>"
           "<table border=0>"
           "<tr><td><B>你的用户名：</B></td>"
           "<td><INPUT TYPE='TEXT' NAME='UserName' SIZE=25 MAXLENGTH=25 value=" +
           platform::QuotedAttribute(login.name) +
           "></td></tr>"
           "<tr><td><B>你的密码：</B></td><td><INPUT TYPE='PASSWORD' NAME='Password' SIZE=13 MAXLENGTH=13></td></tr>"
           "<tr><td valign=top><B>你的 E-mail 标题：</B></td>"
           "<td><INPUT TYPE='TEXT' NAME='Subject' SIZE=30 MAXLENGTH=90></td></tr>"
           "<tr><td valign=top><B>你的 E-mail 信息：</B></td>"
           "<td><TEXTAREA NAME='Message' ROWS=10 COLS=70></TEXTAREA></td></tr>"
           "</table><HR>"
           "<INPUT TYPE='CHECKBOX' NAME='createlist' VALUE='yes'> <B>代之于生成邮件列表：如果你只想建立一个注册用户的邮件列表，"
           "选中此框（并且留着上面的主题和消息字段不要填写）。你可以把此列表输入到你自己的群组邮件程式中。</B>"
           "<center><INPUT TYPE='RADIO' NAME='delimit' VALUE='comma'>逗号分列列表 "
           "<INPUT TYPE='RADIO' NAME='delimit' VALUE='line' CHECKED>按行分列列表</center><HR>"
           "<center><INPUT TYPE='SUBMIT' NAME='Submit' VALUE='这就给用户发送 Email ！'></center></FORM>";
}

std::string BroadcastForm(const core::Credentials& login) {
    const core::Settings& s = core::CurrentSettings();
    return "<br><center><h1>群发短消息</h1>"
           "<FORM ACTION=broadcast.asp METHOD=POST NAME=THEFORM>"
           "<p><B>只有管理员可以执行此操作。</B>" +
           s.TableBorderOpen + "<table border=0 cellpadding=4 cellspacing=1 width=" + s.InnerTableWidth + ">" +
           LoginRows(login, false) +
           "<TR " + s.AltColumnColor2 + "><TD><B>收件人</B></TD><TD><select name=option>"
           "<option value=moderater>所有版主<option value=allmember>所有用户</select></td></tr>"
           "<TR " + s.AltColumnColor2 + "><TD><B>标题</B></TD>"
           "<TD><INPUT TYPE=TEXT NAME=Subject SIZE=50 MAXLENGTH=80></td></tr>"
           "<TR " + s.AltColumnColor2 + "><TD valign=top><B>内容</B></TD>"
           "<TD><TEXTAREA NAME=message ROWS=10 COLS=70></TEXTAREA></td></tr></TABLE>" +
           s.TableBorderClose + "<P><INPUT TYPE=SUBMIT class=buttonface NAME=Submit VALUE=发送></form></CENTER>";
}

}  // namespace admin::forms
