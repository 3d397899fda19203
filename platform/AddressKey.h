#pragma once
// The key a client address is counted by in every per-address limit. One
// IPv6 client holds a whole /64, so its addresses count as one; an
// IPv4-mapped IPv6 address is the IPv4 client it names.
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// "10.1.2.3" for "10.1.2.3" and "::ffff:10.1.2.3"; "2001:db8:1:2::/64" for
// any address of that /64 (a zone such as "%eth0" ignored); anything that
// is no address as it is.
std::string AddressLimitKey(std::string_view address);
// The address in one spelling: "10.1.2.3" for "::ffff:10.1.2.3", IPv6 as
// inet_ntop writes it; none for what is no address.
std::optional<std::string> NormalAddress(std::string_view address);

}  // namespace platform
