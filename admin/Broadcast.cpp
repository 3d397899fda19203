// The broadcast: one private message into the inbox of every member, or of
// every moderator, stored by one statement (all rows or none). PM takes the
// request values UserName, Password, Subject, message and option and
// answers "" when the message is stored, else the refusal; broadcast.asp is
// its page: a form for the five values, and the outcome.
#include <string>

#include "admin/Admin.h"
#include "admin/forms/MailForms.h"
#include "core/Settings.h"
#include "platform/Connection.h"

namespace admin {

std::string Admin::PM() {
    bool stored = false;
    return StoreBroadcast(stored);
}

std::string Admin::StoreBroadcast(bool& stored) {
    const platform::Request& in = Request();
    const core::Credentials login = PostedLogin();
    const std::string message = in("message").str();
    const std::string subject = in("Subject").str();
    if (login.name.empty() || login.password.empty() || message.empty() || subject.empty())
        return "用户名、密码、消息均不能为空！";
    std::string result;
    RunPage(core::Closing::Nothing, [&](core::Page& p) {
        if (!IsAdministrator(login.name, login.password, p.Db())) {
            result = "对不起，该操作只有管理员才能进行！";
            return;
        }
        if (in("option").str() == "allmember")
            p.Db().Execute("insert into PM (recipient,sender,subject,message) select username,?,?,? from register",
                           {login.name, subject, message});
        else
            p.Db().Execute("insert into PM (recipient,sender,subject,message) "
                           "select distinct moderater,?,?,? from moderated",
                           {login.name, subject, message});
        stored = true;
    });
    return result;
}

void Admin::Broadcast() {
    RunPanelPage(core::CurrentSettings().BBName, [&](core::Page&) {
        if (Request().ServerVariables("request_method").str() != "POST") {
            Response().Write(forms::BroadcastForm(SessionLogin()));
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

}  // namespace admin
