#include "core/Visitor.h"

#include "platform/Connection.h"
#include "platform/Recordset.h"
#include "platform/Request.h"
#include "platform/Session.h"
#include "platform/Strings.h"

namespace core {

namespace {

// The pair of cookies last checked in this session and whether it matched,
// kept apart from the board's own session values.
constexpr const char* kCheckedCookies = "visitor:checked-cookies";
constexpr const char* kCookiesMatched = "visitor:cookies-matched";

}  // namespace

bool SessionLoggedIn(const platform::Session& session) { return session("Login") == platform::Variant(1); }

Credentials ActingCredentials(const platform::Request& request, const platform::Session& session) {
    if (SessionLoggedIn(session)) return {session("UserName").str(), session("Password").str()};
    return {platform::Trim(request("UserName").str()), platform::Trim(request("Password").str())};
}

Credentials ProvenVisitor(const platform::Request& request, platform::Session& session,
                          const std::function<platform::Connection&()>& db) {
    // Only a login writes the session's name (the board's, or a member
    // page's own).
    Credentials fromSession{session("UserName").str(), session("Password").str()};
    if (fromSession.IsMember()) return fromSession;

    Credentials fromCookies{request.Cookies("UserName").str(), request.Cookies("Password").str()};
    if (!fromCookies.IsMember() || fromCookies.password.empty()) return {};
    const std::string pair = fromCookies.name + '\n' + fromCookies.password;
    if (session(kCheckedCookies).str() != pair) {
        platform::Recordset rs;
        rs.Open("select username from register where username=? and password=?", db(),
                {fromCookies.name, fromCookies.password});
        session.Set(kCheckedCookies, pair);
        session.Set(kCookiesMatched, !rs.Eof());
    }
    return session(kCookiesMatched) == platform::Variant(true) ? fromCookies : Credentials{};
}

}  // namespace core
