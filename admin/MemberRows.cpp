#include "admin/MemberRows.h"

#include <vector>

#include "admin/ForumRules.h"
#include "core/NameCascades.h"
#include "platform/Connection.h"
#include "platform/Recordset.h"

namespace admin {

namespace {

std::vector<std::string> ModeratedForums(platform::Connection& con, const std::string& member) {
    std::vector<std::string> forums;
    platform::Recordset rs;
    rs.Open("select distinct forum from moderated where moderater=?", con, {member});
    for (; !rs.Eof(); rs.MoveNext()) forums.push_back(rs.Fields(0).str());
    return forums;
}

}  // namespace

void DeleteMember(platform::Connection& con, const std::string& name) {
    const std::vector<std::string> forums = ModeratedForums(con, name);
    core::DeleteEverywhere(con, core::NameOf::Member, name);
    for (const std::string& forum : forums) StoreModeratorList(con, forum);
}

void RenameMember(platform::Connection& con, const std::string& from, const std::string& to) {
    core::RenameEverywhere(con, core::NameOf::Member, from, to);
    for (const std::string& forum : ModeratedForums(con, to)) StoreModeratorList(con, forum);
}

}  // namespace admin
