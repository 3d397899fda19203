#include "platform/Server.h"

#include <filesystem>

#include "platform/Charset.h"
#include "platform/Error.h"

namespace platform {

Server::Server(std::string siteRoot, std::string scriptName)
    : siteRoot_(std::move(siteRoot)), scriptName_(std::move(scriptName)) {}

std::string Server::HTMLEncode(std::string_view s) const { return HtmlEncode(s); }
std::string Server::HTMLEncode(const Variant& v) const { return HtmlEncode(v.str()); }
std::string Server::URLEncode(std::string_view s) const { return UrlEncode(s); }
std::string Server::URLEncode(const Variant& v) const { return UrlEncode(v.str()); }

std::string Server::MapPath(std::string_view path) const {
    std::string address(path);
    for (char& c : address)
        if (c == '\\') c = '/';
    if (address.empty() || address.front() != '/') {
        const std::size_t slash = scriptName_.rfind('/');
        address = scriptName_.substr(0, slash + 1) + address;
    }
    // Resolve "." and ".." within the site; climbing above its root is refused.
    std::filesystem::path resolved;
    for (const auto& part : std::filesystem::path(address).relative_path()) {
        if (part == "..") {
            if (resolved.empty())
                raise(kErrInvalidCall, kPathOutsideSiteText + std::string(path));
            resolved = resolved.parent_path();
        } else if (part != "." && !part.empty()) {
            resolved /= part;
        }
    }
    return (std::filesystem::path(siteRoot_) / resolved).string();
}

}  // namespace platform
