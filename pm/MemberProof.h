#pragma once
// Who may use private messages: a member whose name and password match the
// member table and who is not barred from posting.
#include <string>

namespace platform {
class Connection;
}

namespace pm {

struct MemberProof {
    enum Result { Unknown, Banned, Member };
    Result result = Unknown;
    std::string name;  // as the member table holds it
};

// Name and password are compared as given, nothing trimmed.
MemberProof ProveMember(platform::Connection& con, const std::string& name, const std::string& password);

extern const char* const kBannedMessage;

}  // namespace pm
