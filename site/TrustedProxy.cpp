#include "site/TrustedProxy.h"

#include <algorithm>
#include <optional>

#include <boost/asio/ip/address.hpp>

#include "platform/Strings.h"

namespace site {

namespace {

// One spelling per address: an IPv4 address a dual-stack socket reports as
// "::ffff:a.b.c.d" is the same proxy as "a.b.c.d".
std::optional<std::string> NormalAddress(std::string_view text) {
    boost::system::error_code failed;
    const auto address = boost::asio::ip::make_address(platform::Trim(text), failed);
    if (failed) return std::nullopt;
    if (address.is_v6() && address.to_v6().is_v4_mapped())
        return boost::asio::ip::make_address_v4(boost::asio::ip::v4_mapped, address.to_v6()).to_string();
    return address.to_string();
}

}  // namespace

std::optional<TrustedProxies> TrustedProxies::FromSetting(std::string_view setting, std::string& bad) {
    TrustedProxies proxies;
    while (!setting.empty()) {
        const std::size_t end = std::min(setting.find_first_of(", \t"), setting.size());
        const std::string_view word = setting.substr(0, end);
        setting.remove_prefix(std::min(end + 1, setting.size()));
        if (word.empty()) continue;
        const auto address = NormalAddress(word);
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
    const auto normal = NormalAddress(address);
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
        const auto address = NormalAddress(entry);
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
