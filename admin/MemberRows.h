#pragma once
// A member's rows across the board. Member names are the only link between
// a member and the rows that name him, so deleting or renaming one rewrites
// every such table (the list in core/NameCascades.h); the callers run these
// inside one transaction.
#include <string>

namespace platform {
class Connection;
}

namespace admin {

// Removes the member, everything the member wrote or received (posts and
// the replies to his topics, archived copies likewise, messages both ways,
// announcements) and every row naming him (moderator appointments,
// favourites, subscriptions, ignore lists on both sides); the forums he
// moderated get their moderator lists rebuilt.
void DeleteMember(platform::Connection& con, const std::string& name);

// Gives every row that names member `from` the name `to`, and rebuilds the
// moderator lists of the forums he moderates.
void RenameMember(platform::Connection& con, const std::string& from, const std::string& to);

}  // namespace admin
