// Member checks against the register and the forum moderator lists.
#include <string>

#include "core/MemberCheck.h"
#include "core/Moderators.h"
#include "platform/Charset.h"
#include "platform/Convert.h"
#include "platform/Recordset.h"
#include "platform/Strings.h"

namespace core {

using platform::Variant;

namespace {

constexpr const char* kNoModerator = "诚征版主";

// One entry of the moderator list: the name, linked to the mail address when
// the member has one.
std::string moderatorEntry(const Variant& name, const Variant& email) {
    const std::string encodedName = platform::HtmlEncode(name.str());
    if (email.isNull()) return encodedName;
    return "<a href=\"mailto:" + platform::HtmlEncode(email.str()) + "\">" + encodedName + "</a>";
}

}  // namespace

Variant GetModeratorList(const Variant& forumname, platform::Connection& con) {
    platform::Recordset rs;
    rs.Open("select moderated.moderater, register.email from (forum inner join moderated"
            " on forum.forumname=moderated.forum) inner join register"
            " on moderated.moderater=register.username where forum.forumname=?",
            con, {forumname});
    std::string list;
    while (!rs.Eof()) {
        if (!list.empty()) list += ", ";
        list += moderatorEntry(rs.Fields(0), rs.Fields(1));
        rs.MoveNext();
    }
    rs.Close();
    return Variant(list.empty() ? std::string(kNoModerator) : list);
}

ModeratorLevel GetModeratorLevel(std::string& userName, std::string& password,
                                 const std::string& forum, platform::Connection& con) {
    userName = platform::Trim(userName);
    password = platform::Trim(password);
    if (userName.empty() || password.empty()) return kNotAMember;

    platform::Recordset member;
    if (!OpenMember(member, con, "status,username", userName, password)) return kNotAMember;
    const bool administrator = platform::LCase(member.Fields(0).str()) == "administrator";
    userName = member.Fields(1).str();
    member.Close();
    if (administrator) return kAdministrator;

    // The moderated row alone makes a moderator, whatever the member's status.
    platform::Recordset moderated;
    moderated.Open("select moderater from moderated where forum=? and moderater=?", con,
                   {forum, userName});
    const bool moderator = !moderated.Eof();
    moderated.Close();
    return moderator ? kForumModerator : kMember;
}

bool CheckUserCanPost(std::string& userName, std::string& password, platform::Connection& con,
                      bool& canPost) {
    userName = platform::Trim(userName);
    password = platform::Trim(password);
    if (userName.empty() || password.empty()) return false;

    platform::Recordset member;
    if (!OpenMember(member, con, "canpost,username", userName, password)) return false;
    canPost = platform::CBool(member.Fields(0));  // a NULL flag raises error 94
    userName = member.Fields(1).str();
    member.Close();
    return true;
}

}  // namespace core
