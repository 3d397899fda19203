#pragma once
// Whether a request comes from a page of another site, as the browser
// tells: such a request may read the board but never change it.
#include <string_view>

namespace platform {
class Request;
}

namespace site {

// True when `Sec-Fetch-Site` names neither this origin nor a typed address
// ("cross-site", "same-site"), or when `Origin` names another origin than
// the board's. The board's own are `boardAddress` (the BBURL setting:
// scheme, host and port) and the request's `Host` with the scheme the
// request came by: plain http straight to this server; through a trusted
// proxy, whose `X-Forwarded-Host` counts as well, the scheme of
// `boardAddress`. `Origin: null` counts as another site. A request without
// these headers is taken as the board's own.
bool FromAnotherSite(const platform::Request& request, std::string_view boardAddress, bool viaTrustedProxy);

}  // namespace site
