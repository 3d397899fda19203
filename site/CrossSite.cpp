#include "site/CrossSite.h"

#include <string>

#include "platform/Request.h"
#include "platform/Strings.h"

namespace site {

namespace {

// "host[:port]" lower-cased, without the port its scheme implies.
std::string Authority(std::string_view scheme, std::string_view hostAndPort) {
    std::string authority = platform::LCase(platform::Trim(std::string(hostAndPort)));
    const std::string_view defaultPort = scheme == "https" ? ":443" : scheme == "http" ? ":80" : "";
    if (!defaultPort.empty() && authority.size() > defaultPort.size() &&
        authority.compare(authority.size() - defaultPort.size(), defaultPort.size(), defaultPort) == 0)
        authority.resize(authority.size() - defaultPort.size());
    return authority;
}

// The first entry of a header that may list several ("a, b").
std::string_view FirstEntry(std::string_view value) { return value.substr(0, value.find(',')); }

}  // namespace

bool FromAnotherSite(const platform::Request& request) {
    const std::string fetchSite = platform::LCase(platform::Trim(request.Header("Sec-Fetch-Site")));
    if (fetchSite == "cross-site" || fetchSite == "same-site") return true;

    const std::string origin = platform::Trim(request.Header("Origin"));
    if (origin.empty()) return false;
    const std::size_t schemeEnd = origin.find("://");
    if (schemeEnd == std::string::npos) return true;  // "null" or nothing an address is made of
    const std::string scheme = platform::LCase(origin.substr(0, schemeEnd));
    const std::string from = Authority(scheme, std::string_view(origin).substr(schemeEnd + 3));
    for (const char* header : {"Host", "X-Forwarded-Host"}) {
        const std::string value = request.Header(header);
        if (!value.empty() && Authority(scheme, FirstEntry(value)) == from) return false;
    }
    return true;
}

}  // namespace site
