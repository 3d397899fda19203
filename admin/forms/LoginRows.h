#pragma once
// The login fields the panel's forms share, prefilled from the session's
// panel login.
#include <string>

#include "core/Visitor.h"

namespace admin::forms {

// The name and password rows of the panel's tabled forms, the password
// prefilled too when `prefillPassword`.
std::string LoginRows(const core::Credentials& login, bool prefillPassword);

// The rows "你的用户名：" and "你的密码：", both prefilled; each begins with
// `rowStart`, the row and its label cell.
std::string SessionLoginRows(const std::string& rowStart, const core::Credentials& login);

}  // namespace admin::forms
