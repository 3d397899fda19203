#include "platform/DataSources.h"

#include <map>
#include <mutex>

#include "platform/Strings.h"

namespace platform {

namespace {

std::mutex& Lock() {
    static std::mutex m;
    return m;
}

std::map<std::string, std::string>& Paths() {
    static std::map<std::string, std::string> paths;  // by lower-cased name
    return paths;
}

}  // namespace

void DataSources::Set(const std::string& name, const std::string& path) {
    std::lock_guard guard(Lock());
    Paths()[LCase(name)] = path;
}

void DataSources::Remove(const std::string& name) {
    std::lock_guard guard(Lock());
    Paths().erase(LCase(name));
}

std::optional<std::string> DataSources::Lookup(const std::string& name) {
    std::lock_guard guard(Lock());
    auto it = Paths().find(LCase(name));
    if (it == Paths().end()) return std::nullopt;
    return it->second;
}

}  // namespace platform
