#include "core/MemberCheck.h"

#include "platform/Recordset.h"

namespace core {

bool OpenMember(platform::Recordset& rs, platform::Connection& con, std::string_view columns,
                const std::string& name, const std::string& password) {
    rs.Open("select " + std::string(columns) + " from register where username=? and password=?", con,
            {name, password});
    return !rs.Eof();
}

}  // namespace core
