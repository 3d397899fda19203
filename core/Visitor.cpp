#include "core/Visitor.h"

#include "core/MemberCheck.h"
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
constexpr const char* kRegisteredName = "visitor:registered-name";

}  // namespace

bool SessionLoggedIn(const platform::Session& session) { return session("Login") == platform::Variant(1); }

bool IsPost(const platform::Request& request) {
    return request.ServerVariables("request_method").str() == "POST";
}

Credentials PostedCredentials(const platform::Request& request) {
    if (!IsPost(request)) return {};
    return {request.Form("UserName").str(), request.Form("Password").str()};
}

Credentials ActingCredentials(const platform::Request& request, const platform::Session& session) {
    if (SessionLoggedIn(session)) return {session("UserName").str(), session("Password").str()};
    const Credentials posted = PostedCredentials(request);
    return {platform::Trim(posted.name), platform::Trim(posted.password)};
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
        const bool matched = OpenMember(rs, db(), "username", fromCookies.name, fromCookies.password);
        session.Set(kCheckedCookies, pair);
        session.Set(kCookiesMatched, matched);
        session.Set(kRegisteredName, matched ? rs.Fields(0).str() : std::string());
    }
    if (!(session(kCookiesMatched) == platform::Variant(true))) return {};
    return {session(kRegisteredName).str(), fromCookies.password};
}

void EndOtherSessionsOf(platform::Session& session, const std::string& member) {
    session.EndOthers([member](const platform::Session& other) {
        for (const char* key : {"UserName", "UserNamecp", kProvenMember, kRegisteredName})
            if (platform::EqualsIgnoreCase(other(key).str(), member)) return true;
        return false;
    });
}

}  // namespace core
