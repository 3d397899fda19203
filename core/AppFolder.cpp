// The board's data folder, where generated files (news feeds, mailing lists)
// are written, and the uploads' base folder.
#include <filesystem>
#include <mutex>
#include <string>
#include <system_error>

#include "core/AppFolder.h"
#include "platform/Error.h"

namespace core {

namespace {

// Guards the path folder() holds: a test or the start may set it while
// pages read it.
std::mutex folderMutex;
std::filesystem::path& folder() {
    static std::filesystem::path path = std::filesystem::absolute("data");
    return path;
}

std::filesystem::path currentFolder() {
    std::lock_guard<std::mutex> lock(folderMutex);
    return folder();
}

}  // namespace

void SetAppFolder(const std::string& path) {
    std::lock_guard<std::mutex> lock(folderMutex);
    folder() = std::filesystem::absolute(path);
}

std::string AppFolder() { return currentFolder().string(); }

std::string EnsureAppFolder(const std::string& name) {
    const std::filesystem::path path = currentFolder() / name;
    std::error_code error;
    if (!std::filesystem::is_directory(path, error)) {
        // One level only: a missing data folder is an error, as is a file of
        // that name. Another request may create it at the same moment.
        std::filesystem::create_directory(path, error);
        if (!std::filesystem::is_directory(path, error)) {
            platform::raise(platform::kErrPathFileAccess, platform::kPathAccessText + path.string());
        }
    }
    return path.string();
}

std::string UploadBaseFolder(const std::string& setting) {
    return setting.empty() ? EnsureAppFolder("upload") : setting;
}

}  // namespace core
