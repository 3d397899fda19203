#pragma once
// The reverse proxies the operator names in the setting `TrustedProxy`
// (addresses separated by commas or blanks; none by default). Only their
// X-Forwarded-For and X-Forwarded-Host are believed: any client can send
// those headers itself.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Request.h"

namespace site {

class TrustedProxies {
public:
    TrustedProxies() = default;
    // The addresses the setting names; none, with the first word that is
    // not an IPv4 or IPv6 address in `bad`, when one is not.
    static std::optional<TrustedProxies> FromSetting(std::string_view setting, std::string& bad);

    bool empty() const { return addresses_.empty(); }
    bool Trusts(std::string_view address) const;

    // The client behind a request from `peer`: for a trusted proxy, the last
    // address of `forwardedFor` (the X-Forwarded-For list) that is not a
    // trusted proxy's, as each proxy appends the address it was reached
    // from; `peer` itself for anyone else.
    std::string ClientAddress(std::string_view peer, std::string_view forwardedFor) const;

    // A request from a trusted proxy takes its client's address
    // (ClientAddress); true for one.
    bool TakeClientAddress(platform::RawRequest& raw) const;

private:
    std::vector<std::string> addresses_;  // normal form (NormalAddress)
};

}  // namespace site
