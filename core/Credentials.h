#pragma once
// Who a page acts for when a member acts: the board login of the session,
// or else the name and password the request sends.
#include <string>

namespace platform {
class RequestCollection;
class Session;
}  // namespace platform

namespace core {

struct Credentials {
    std::string userName;
    std::string password;
};

// True after the board login (session value Login = 1).
bool IsLoggedIn(const platform::Session& session);

// The session's UserName and Password after the board login; otherwise the
// fields UserName and Password of `fields` (the collection the page reads
// them from). Neither is trimmed here: the member checks trim them.
Credentials CredentialsOf(const platform::Session& session, const platform::RequestCollection& fields);

}  // namespace core
