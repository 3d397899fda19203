#pragma once
// What keeps a database file from serving, found before the program serves
// it: a file it may not write, a file that is no database or is damaged.
#include <exception>
#include <string>

namespace platform {

// True when this process may not write the file or folder at `path`: its
// permissions forbid writing, or SQLite opens the file read-only.
bool IsWriteProtected(const std::string& path);

// SQLite's quick check of the file at `path` (every page and record read
// once, without the indexes' agreement with their tables): "" when it finds
// nothing wrong, else its first finding, or why the file cannot be read.
std::string QuickCheckFinding(const std::string& path);

// What the log says of a damaged board file: what is wrong, and how to check
// and mend it.
std::string DamagedFileMessage(const std::string& path, const std::string& finding);

// Whether `error` says that a database file is damaged or no database.
bool IsDamagedFileError(const std::exception& error);

}  // namespace platform
