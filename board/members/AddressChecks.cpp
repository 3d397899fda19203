#include "board/members/AddressChecks.h"

#include "platform/Recordset.h"

namespace board {

void RefuseBadAddress(core::Page& page, const std::string& email) {
    if (email.empty()) page.Refuse("你必须输入一个Email地址！按浏览器的后退按钮可重新处理！");
    if (email.find('@') == std::string::npos || email.find('.') == std::string::npos)
        page.Refuse("你输入的Email地址不合法，请重新输入！按浏览器的后退按钮可重新处理！");
}

void RefuseTakenAddress(core::Page& page, const std::string& email, const std::string& ownName) {
    platform::Recordset rs;
    rs.Open("select username from register where email=? and username<>?", page.Db(), {email, ownName});
    if (!rs.Eof())
        page.Refuse("您输入的 EMail 已经有人使用，论坛规定一个 EMail 只能注册一次，请使用其它 EMail。"
                    "如果您是因为遗忘了密码而重复注册，请使用论坛提供的找回丢失的密码功能取回密码或同论坛管理员联系!");
}

}  // namespace board
