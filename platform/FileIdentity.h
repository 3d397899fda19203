#pragma once
// Which file a path names now: a file replaced under the same name is
// another file.
#include <optional>
#include <string>

namespace platform {

struct FileIdentity {
    unsigned long long device = 0;
    unsigned long long inode = 0;
    friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};

std::optional<FileIdentity> IdentityOfFile(const std::string& path);

}  // namespace platform
