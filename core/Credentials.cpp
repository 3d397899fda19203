#include "core/Credentials.h"

#include "platform/Request.h"
#include "platform/Session.h"

namespace core {

bool IsLoggedIn(const platform::Session& session) { return session("Login") == platform::Variant(1); }

Credentials CredentialsOf(const platform::Session& session, const platform::RequestCollection& fields) {
    if (IsLoggedIn(session)) return {session("UserName").str(), session("Password").str()};
    return {fields("UserName").str(), fields("Password").str()};
}

}  // namespace core
