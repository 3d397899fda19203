#pragma once
// The board's data folder, where generated files go.
#include <string>

namespace core {

// The board's data folder, where generated files go (default "data" under
// the working directory). Set once at start-up.
void SetAppFolder(const std::string& path);
// The data folder's path (not created when missing).
std::string AppFolder();
// The path of subfolder `name` of the data folder, created when missing.
std::string EnsureAppFolder(const std::string& name);
// The base folder of uploads: the site's UploadBaseDir setting, or the data
// folder's "upload" (created when missing) when the site sets none.
std::string UploadBaseFolder(const std::string& setting);

}  // namespace core
