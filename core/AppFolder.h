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

}  // namespace core
