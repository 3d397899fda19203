#pragma once
// The server utilities a page uses: HTML and URL encoding and mapping a
// site address to a file path.
#include <string>
#include <string_view>

#include "platform/Variant.h"

namespace platform {

class Server {
public:
    Server() = default;
    // `siteRoot`: the site folder; `scriptName`: the current page's address,
    // e.g. "/admin/forum.asp", against which relative paths are mapped.
    // (The board's own data folder is the forum core's: EnsureAppFolder.)
    Server(std::string siteRoot, std::string scriptName);

    // & < > " become entities; Null and Empty give "".
    std::string HTMLEncode(std::string_view s) const;
    std::string HTMLEncode(const std::string& s) const { return HTMLEncode(std::string_view(s)); }
    std::string HTMLEncode(const char* s) const { return HTMLEncode(std::string_view(s)); }
    std::string HTMLEncode(const Variant& v) const;
    // On the GBK bytes: blank becomes "+", other bytes than letters and
    // digits %XX.
    std::string URLEncode(std::string_view s) const;
    std::string URLEncode(const std::string& s) const { return URLEncode(std::string_view(s)); }
    std::string URLEncode(const char* s) const { return URLEncode(std::string_view(s)); }
    std::string URLEncode(const Variant& v) const;

    // "/x" from the site folder, "x" from the current page's folder; error 5
    // for a path that leaves the site folder.
    std::string MapPath(std::string_view path) const;

private:
    std::string siteRoot_;
    std::string scriptName_ = "/";
};

}  // namespace platform
