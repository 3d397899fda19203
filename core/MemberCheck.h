#pragma once
// The one check of a member's name and password against the register, for
// every page that proves a member: the board login and the member pages,
// the forum rights, private messages and the control panel.
#include <string>
#include <string_view>

namespace platform {
class Connection;
class Recordset;
}  // namespace platform

namespace core {

// The refusal of a page whose member no longer proves against the register.
inline constexpr const char* kAccountProblem = "对不起，由于账号问题，你不能进行该操作！";

// Opens `rs` on `columns` ("status", "canpost,username", "*") of the member
// with this name and password; true when there is one. Names ignore letter
// case, passwords compare exactly: the register's columns are declared so.
// The name as registered is the row's `username`.
bool OpenMember(platform::Recordset& rs, platform::Connection& con, std::string_view columns,
                const std::string& name, const std::string& password);

}  // namespace core
