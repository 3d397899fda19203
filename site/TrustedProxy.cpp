#include "site/TrustedProxy.h"

#include <algorithm>
#include <optional>

#include "platform/AddressKey.h"
#include "platform/Strings.h"

namespace site {

std::optional<TrustedProxies> TrustedProxies::FromSetting(std::string_view setting, std::string& bad) {
    TrustedProxies proxies;
    while (!setting.empty()) {
        const std::size_t end = std::min(setting.find_first_of(", \t"), setting.size());
        const std::string_view word = setting.substr(0, end);
        setting.remove_prefix(std::min(end + 1, setting.size()));
        if (word.empty()) continue;
        const auto address = platform::NormalAddress(word);
        if (!address) {
            bad = word;
            return std::nullopt;
        }
        proxies.addresses_.push_back(*address);
    }
    return proxies;
}

bool TrustedProxies::Trusts(std::string_view address) const {
    if (addresses_.empty()) return false;
    const auto normal = platform::NormalAddress(address);
    return normal && std::find(addresses_.begin(), addresses_.end(), *normal) != addresses_.end();
}

std::string TrustedProxies::ClientAddress(std::string_view peer, std::string_view forwardedFor) const {
    std::string client(peer);
    if (!Trusts(peer)) return client;
    // From the right: each entry was appended by the proxy before it, and
    // only a trusted proxy's entry tells who came before it.
    while (!forwardedFor.empty()) {
        const std::size_t comma = forwardedFor.rfind(',');
        const std::string_view entry = comma == std::string_view::npos ? forwardedFor : forwardedFor.substr(comma + 1);
        forwardedFor = forwardedFor.substr(0, comma == std::string_view::npos ? 0 : comma);
        if (platform::Trim(entry).empty()) continue;
        const auto address = platform::NormalAddress(entry);
        if (!address) break;  // no proxy writes that: the nearest address named is all we know
        client = *address;
        if (!Trusts(client)) break;
    }
    return client;
}

bool TrustedProxies::TakeClientAddress(platform::RawRequest& raw) const {
    if (!Trusts(raw.remoteAddr)) return false;
    // Several header lines make one list, in their order.
    std::string forwardedFor;
    for (const auto& [name, value] : raw.headers)
        if (platform::EqualsIgnoreCase(name, "X-Forwarded-For")) forwardedFor.append(value).append(",");
    raw.remoteAddr = ClientAddress(raw.remoteAddr, forwardedFor);
    return true;
}

}  // namespace site
