// The broadcast: one private message into the inbox of every member, or of
// every moderator, stored by one statement (all rows or none). PM takes the
// request values UserName, Password, Subject, message and option and
// answers "" when the message is stored, else the refusal; broadcast.asp is
// its page: a form for the five values, and the outcome.
#include <string>

#include "admin/Admin.h"
#include "core/Settings.h"
#include "platform/Connection.h"

namespace admin {

std::string Admin::PM() {
    bool stored = false;
    return StoreBroadcast(stored);
}

std::string Admin::StoreBroadcast(bool& stored) {
    const platform::Request& in = Request();
    const auto [name, password] = PostedLogin();
    const std::string message = in("message").str();
    const std::string subject = in("Subject").str();
    if (name.empty() || password.empty() || message.empty() || subject.empty())
        return "用户名、密码、消息均不能为空！";
    std::string result;
    RunPage(core::Closing::Nothing, [&](core::Page& p) {
        if (!IsAdministrator(name, password, p.Db())) {
            result = "对不起，该操作只有管理员才能进行！";
            return;
        }
        if (in("option").str() == "allmember")
            p.Db().Execute("insert into PM (recipient,sender,subject,message) select username,?,?,? from register",
                           {name, subject, message});
        else
            p.Db().Execute("insert into PM (recipient,sender,subject,message) "
                           "select distinct moderater,?,?,? from moderated",
                           {name, subject, message});
        stored = true;
    });
    return result;
}

void Admin::Broadcast() {
    RunPanelPage(core::CurrentSettings().BBName, [&](core::Page&) {
        if (Request().ServerVariables("request_method").str() != "POST") {
            WriteBroadcastForm();
            return;
        }
        bool stored = false;
        const std::string refusal = StoreBroadcast(stored);
        if (!refusal.empty())
            ErrorForm(refusal);
        else if (stored)
            Response().Write("<br><br><center><p><h3>消息已经发出</h3></p></center>");
    });
}

void Admin::WriteBroadcastForm() {
    const core::Settings& s = core::CurrentSettings();
    platform::Response& out = Response();
    out.Write("<br><center><h1>群发短消息</h1>");
    out.Write("<FORM ACTION=broadcast.asp METHOD=POST NAME=THEFORM>");
    out.Write("<p><B>只有管理员可以执行此操作。</B>");
    out.Write(s.TableBorderOpen + "<table border=0 cellpadding=4 cellspacing=1 width=" + s.InnerTableWidth + ">");
    WriteLoginRows(false);
    out.Write("<TR " + s.AltColumnColor2 + "><TD><B>收件人</B></TD><TD><select name=option>"
              "<option value=moderater>所有版主<option value=allmember>所有用户</select></td></tr>");
    out.Write("<TR " + s.AltColumnColor2 + "><TD><B>标题</B></TD>"
              "<TD><INPUT TYPE=TEXT NAME=Subject SIZE=50 MAXLENGTH=80></td></tr>");
    out.Write("<TR " + s.AltColumnColor2 + "><TD valign=top><B>内容</B></TD>"
              "<TD><TEXTAREA NAME=message ROWS=10 COLS=70></TEXTAREA></td></tr></TABLE>");
    out.Write(s.TableBorderClose + "<P><INPUT TYPE=SUBMIT class=buttonface NAME=Submit VALUE=发送></form></CENTER>");
}

}  // namespace admin
