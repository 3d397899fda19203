#pragma once
// Members' rights: the moderators of a forum and the rights checks of
// posting and moderation.
#include <cstdint>
#include <string>

#include "platform/Connection.h"
#include "platform/Variant.h"

namespace core {

// The forum's moderators as HTML (mail links where known), or "诚征版主".
platform::Variant GetModeratorList(const platform::Variant& forumname, platform::Connection& con);

// What a member may do in a forum.
enum ModeratorLevel : std::int16_t {
    kNotAMember = -1,     // no member has this name and password
    kMember = 0,          // a member without rights in the forum
    kAdministrator = 1,   // an administrator of the board
    kForumModerator = 2,  // a moderator of the forum
};

// The rights of the member `userName` with `password` in `forum`. Trims
// `userName` and `password` in place; a known member's name then reads as
// registered, whatever letter case was typed.
ModeratorLevel GetModeratorLevel(std::string& userName, std::string& password,
                                 const std::string& forum, platform::Connection& con);
// True for a known member, whose canpost flag then goes to `canPost`.
// Trims `userName` and `password` in place; a known member's name then
// reads as registered.
bool CheckUserCanPost(std::string& userName, std::string& password, platform::Connection& con,
                      bool& canPost);

}  // namespace core
