#include "admin/ForumRules.h"

#include <charconv>

#include "core/Module1.h"
#include "core/PageTail.h"
#include "platform/Connection.h"
#include "platform/Recordset.h"
#include "platform/Strings.h"

namespace admin {

AccessRule ReadAccessRule(const std::string& restrict) {
    AccessRule rule;
    const std::string text = platform::LCase(restrict);
    if (text == "private") {
        rule.isPrivate = true;
        return rule;
    }
    const std::size_t amp = text.find('&');
    if (amp == std::string::npos) return rule;
    const std::string topic = text.substr(0, amp), reply = text.substr(amp + 1);
    if (topic == "restrict" || topic == "allreg" || topic == "all") rule.topic = topic;
    if (reply == "restrict" || reply == "allreg" || reply == "all" || reply == "none") rule.reply = reply;
    return rule;
}

std::vector<std::string> ForumCatalogs(platform::Connection& con) {
    std::vector<std::string> catalogs;
    platform::Recordset rs;
    rs.Open("select distinct catalog from forum", con);
    for (; !rs.Eof(); rs.MoveNext()) catalogs.push_back(rs.Fields(0).str());
    return catalogs;
}

bool ParseWholeNumber(const std::string& text, std::int32_t& value) {
    const std::string trimmed = platform::Trim(text);
    const char* first = trimmed.data();
    const char* last = first + trimmed.size();
    if (first != last && *first == '+') ++first;
    const auto [end, error] = std::from_chars(first, last, value);
    return first != last && error == std::errc() && end == last;
}

void RefuseUnusableForumName(core::Page& p, const std::string& name, const std::string& current) {
    if (name.find(',') != std::string::npos) p.Refuse("论坛名称不能包含逗号“,”，请选择其他论坛名称");
    platform::Recordset rs;
    // A deleted forum's name is taken until the last of its posts is gone,
    // a renamed forum's old name until the last has moved: a new forum
    // would show them, and its own would go or move with them.
    rs.Open("select forumname from forum_deleting where forumname=?1 "
            "union all select oldname from forum_renaming where oldname=?1",
            p.Db(), {name});
    if (!rs.Eof()) p.Refuse("该论坛名称重复，请选择其他论坛名称");
    rs.Close();
    rs.Open("select forumname from forum where forumname=?1", p.Db(), {name});
    if (!rs.Eof() && !(platform::EqualsIgnoreCase(name, current) && !current.empty()))
        p.Refuse("该论坛名称重复，请选择其他论坛名称");
}

void AppointModerator(platform::Connection& con, const std::string& forum, const std::string& member,
                      const std::string& status) {
    platform::Recordset rs;
    rs.Open("select username from register where username=?", con, {member});
    if (rs.Eof()) return;
    rs.Close();
    rs.Open("select moderater from moderated where forum=? and moderater=?", con, {forum, member});
    if (!rs.Eof()) return;
    rs.Close();
    con.Execute("insert into moderated (forum, moderater) values (?, ?)", {forum, member});
    con.Execute("update register set status=? where username=? and lower(ifnull(status,''))<>'administrator'",
                {status, member});
}

void ClearIdleModeratorStatus(platform::Connection& con, const std::string& member) {
    con.Execute("update register set status=null where username=? and lower(ifnull(status,''))<>'administrator' "
                "and not exists (select 1 from moderated where moderater=?)",
                {member, member});
}

void StoreModeratorList(platform::Connection& con, const std::string& forum) {
    con.Execute("update forum set forummaster=? where forumname=?",
                {core::GetModeratorList(forum, con), forum});
}

}  // namespace admin
