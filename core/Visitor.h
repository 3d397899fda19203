#pragma once
// Who the visitor is. Every page that acts for a member, greets one or lists
// one as online asks here.
#include <functional>
#include <string>

namespace platform {
class Connection;
class Request;
class Session;
}  // namespace platform

namespace core {

// A member page's own login step (the profile's) keeps the member it proved,
// apart from the board login, under these session keys.
inline constexpr const char* kProvenMember = "ProfileMember";
inline constexpr const char* kProvenPassword = "ProfilePassword";

// A member's name and password as a page acts with them; an empty name for
// a guest.
struct Credentials {
    std::string name;
    std::string password;
    bool IsMember() const { return !name.empty(); }
};

// Whether the board's login succeeded in this session (session value
// `Login` is 1).
bool SessionLoggedIn(const platform::Session& session);

// Whether the request is a POST: only a POST changes something.
bool IsPost(const platform::Request& request);

// The form fields `UserName` and `Password` of a POST, as sent; none for
// any other request. Never the query string or the cookies: a link from
// another site carries those, and a browser sends the remembered login's
// cookies along with it.
Credentials PostedCredentials(const platform::Request& request);

// The credentials a page acts with for a member: the session's after the
// board login, else the posted ones, trimmed.
Credentials ActingCredentials(const platform::Request& request, const platform::Session& session);

// The member the visitor has proven to be: the one a login of this session
// named, else the one the `UserName` and `Password` cookies name once they
// match a member (under the name as registered) (checked once a session, through `db`, for each pair of
// cookies); a guest otherwise, whatever a `UserName` cookie alone says.
Credentials ProvenVisitor(const platform::Request& request, platform::Session& session,
                          const std::function<platform::Connection&()>& db);

// After `member`'s password changed: every other session that acts for him
// (a board or panel login, a member page's proof, a checked pair of
// cookies) ends with this request, so a session kept from before the change
// is a guest's.
void EndOtherSessionsOf(platform::Session& session, const std::string& member);

}  // namespace core
