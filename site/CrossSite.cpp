#include "site/CrossSite.h"

#include <optional>
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

struct Origin {
    std::string scheme;
    std::string authority;
    bool operator==(const Origin&) const = default;
};

// The origin of an address ("https://bbs.example.org/bbs/"); none for
// "null" or anything else an address is not made of.
std::optional<Origin> OriginOf(std::string_view address) {
    const std::string trimmed = platform::Trim(address);
    const std::size_t schemeEnd = trimmed.find("://");
    if (schemeEnd == std::string::npos || schemeEnd == 0) return std::nullopt;
    const std::string scheme = platform::LCase(trimmed.substr(0, schemeEnd));
    const std::string_view rest = std::string_view(trimmed).substr(schemeEnd + 3);
    return Origin{scheme, Authority(scheme, rest.substr(0, rest.find_first_of("/?#")))};
}

// The first entry of a header that may list several ("a, b"): the address
// the browser used, as the proxy nearest to it passed it on.
std::string_view FirstEntry(std::string_view value) { return value.substr(0, value.find(',')); }

}  // namespace

bool FromAnotherSite(const platform::Request& request, std::string_view boardAddress, bool viaTrustedProxy) {
    const std::string fetchSite = platform::LCase(platform::Trim(request.Header("Sec-Fetch-Site")));
    if (fetchSite == "cross-site" || fetchSite == "same-site") return true;

    const std::string originHeader = request.Header("Origin");
    if (platform::Trim(originHeader).empty()) return false;
    const auto from = OriginOf(originHeader);
    if (!from) return true;
    const auto board = OriginOf(boardAddress);
    if (from == board) return false;

    // This server speaks plain http; a proxy in front may speak what the
    // board's address says.
    const std::string scheme = viaTrustedProxy && board ? board->scheme : "http";
    if (from->scheme != scheme) return true;
    const auto named = [&](const char* header) {
        const std::string value = request.Header(header);
        return !value.empty() && Authority(scheme, FirstEntry(value)) == from->authority;
    };
    return !named("Host") && !(viaTrustedProxy && named("X-Forwarded-Host"));
}

}  // namespace site
