#pragma once
// Data source names, as the connection string's DATA SOURCE gives them,
// mapped to SQLite database files. The web host maps the board's name to its
// database file at start-up; tests map it to a temporary file.
#include <optional>
#include <string>

namespace platform {

class DataSources {
public:
    // Names compare ignoring letter case; a later Set replaces the path.
    static void Set(const std::string& name, const std::string& path);
    static void Remove(const std::string& name);
    static std::optional<std::string> Lookup(const std::string& name);
};

}  // namespace platform
