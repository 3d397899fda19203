#pragma once
// What the forum setup steps share: reading an access rule, the checks of a
// forum name and the moderator rows with the status and list they imply.
#include <cstdint>
#include <string>
#include <vector>

namespace core {
class Page;
}
namespace platform {
class Connection;
}

namespace admin {

// A forum's `restrict` as the forms show it: private, or the topic and reply
// choices ("allreg" where the text names none).
struct AccessRule {
    bool isPrivate = false;
    std::string topic = "allreg";
    std::string reply = "allreg";
};
// Compares ignoring letter case, as the board's readers do.
AccessRule ReadAccessRule(const std::string& restrict);

// The catalogs the board's forums have, each once, for the forms' choice.
std::vector<std::string> ForumCatalogs(platform::Connection& con);

// An optional sign and digits only, within 32 bits.
bool ParseWholeNumber(const std::string& text, std::int32_t& value);

// Refuses a name with "," (lists of forums are joined with it) and a name
// that another forum than `current` has, ignoring letter case, or had while
// its posts are still being deleted.
void RefuseUnusableForumName(core::Page& p, const std::string& name, const std::string& current);

// Appoints `member` to `forum` unless no such member exists or the row is
// already there; a member who is not an administrator gets `status`.
void AppointModerator(platform::Connection& con, const std::string& forum, const std::string& member,
                      const std::string& status);
// A member who moderates no forum any more and is not an administrator
// loses the moderator status.
void ClearIdleModeratorStatus(platform::Connection& con, const std::string& member);
// The forum's stored moderator list, rebuilt from its moderator rows.
void StoreModeratorList(platform::Connection& con, const std::string& forum);

}  // namespace admin
