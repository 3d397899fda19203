#include "admin/MemberRows.h"

#include <vector>

#include "admin/ForumRules.h"
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
    for (const char* sql : {
             "delete from register where username=?1",
             "delete from moderated where moderater=?1",
             "delete from post where parentid in (select postid from post where username=?1 and parentid is null)",
             "delete from post where username=?1",
             "delete from PM where sender=?1 or recipient=?1",
             "delete from outbox where sender=?1 or recipient=?1",
             "delete from favor where username=?1",
             "delete from subscibe where username=?1",
             "delete from ignorelist where username=?1 or ignoreusername=?1",
             "delete from announceto where id in (select id from announce where username=?1)",
             "delete from announce where username=?1",
             "delete from archivelist where parentid in "
             "(select postid from archivelist where username=?1 and parentid is null)",
             "delete from archivelist where username=?1",
         })
        con.Execute(sql, {name});
    for (const std::string& forum : forums) StoreModeratorList(con, forum);
}

void RenameMember(platform::Connection& con, const std::string& from, const std::string& to) {
    for (const char* sql : {
             "update register set username=?2 where username=?1",
             "update post set username=?2 where username=?1",
             "update post set lastreplyusername=?2 where lastreplyusername=?1",
             "update archivelist set username=?2 where username=?1",
             "update PM set sender=?2 where sender=?1",
             "update PM set recipient=?2 where recipient=?1",
             "update outbox set sender=?2 where sender=?1",
             "update outbox set recipient=?2 where recipient=?1",
             "update favor set username=?2 where username=?1",
             "update subscibe set username=?2 where username=?1",
             "update ignorelist set username=?2 where username=?1",
             "update ignorelist set ignoreusername=?2 where ignoreusername=?1",
             "update announce set username=?2 where username=?1",
             "update moderated set moderater=?2 where moderater=?1",
             "update forum set lastpostusername=?2 where lastpostusername=?1",
         })
        con.Execute(sql, {from, to});
    for (const std::string& forum : ModeratedForums(con, to)) StoreModeratorList(con, forum);
}

}  // namespace admin
