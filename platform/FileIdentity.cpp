#include "platform/FileIdentity.h"

#include <sys/stat.h>

namespace platform {

std::optional<FileIdentity> IdentityOfFile(const std::string& path) {
    struct stat st {};
    if (stat(path.c_str(), &st) != 0) return std::nullopt;
    return FileIdentity{st.st_dev, st.st_ino};
}

}  // namespace platform
