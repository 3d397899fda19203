#pragma once
// Whether a request comes from a page of another site, as the browser
// tells: such a request may read the board but never change it.
#include <string_view>

namespace platform {
class Request;
}

namespace site {

// True when `Sec-Fetch-Site` names neither this origin nor a typed address
// ("cross-site", "same-site"), or when `Origin` names another host than
// the request's `Host` (or the `X-Forwarded-Host` a proxy passes on);
// `Origin: null` counts as another site. A request without these headers
// is taken as the board's own.
bool FromAnotherSite(const platform::Request& request);

}  // namespace site
