#include "admin/forms/LoginRows.h"

#include "core/Settings.h"
#include "platform/Charset.h"

namespace admin::forms {

std::string LoginRows(const core::Credentials& login, bool prefillPassword) {
    const std::string& rowColour = core::CurrentSettings().AltColumnColor2;
    return "<TR " + rowColour + "><TD><B>你的用户名</B></TD><TD>"
           "<INPUT TYPE=TEXT NAME=UserName SIZE=25 MAXLENGTH=25 value=" + platform::QuotedAttribute(login.name) +
           "></td></tr>"
           "<TR " + rowColour + "><TD><B>你的密码</B></TD>"
           "<TD><INPUT TYPE=PASSWORD NAME=Password SIZE=13 MAXLENGTH=13 value=" +
           platform::QuotedAttribute(prefillPassword ? login.password : "") + "></td></tr>";
}

std::string SessionLoginRows(const std::string& rowStart, const core::Credentials& login) {
    return rowStart + "<b>你的用户名：</b></td><td><INPUT TYPE=TEXT NAME=UserName SIZE=25 MAXLENGTH=25 value=" +
           platform::QuotedAttribute(login.name) + "></td></tr>" + rowStart +
           "<B>你的密码：</B></td><td><INPUT TYPE=PASSWORD NAME=Password SIZE=13 MAXLENGTH=13 value=" +
           platform::QuotedAttribute(login.password) + "></td></tr>";
}

}  // namespace admin::forms
