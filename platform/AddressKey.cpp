#include "platform/AddressKey.h"

#include <arpa/inet.h>

#include <algorithm>
#include <array>
#include <cstring>

#include "platform/Strings.h"

namespace platform {

namespace {

// An address as its bytes: 4 for IPv4 (an IPv4-mapped IPv6 address among
// them), else 16; none for what is no address. A zone ("%eth0") is ignored.
struct ParsedAddress {
    bool v4 = false;
    std::array<unsigned char, 16> bytes{};
};

std::optional<ParsedAddress> Parse(std::string_view address) {
    const std::string text = Trim(address.substr(0, address.find('%')));
    ParsedAddress parsed;
    if (inet_pton(AF_INET, text.c_str(), parsed.bytes.data()) == 1) {
        parsed.v4 = true;
        return parsed;
    }
    if (inet_pton(AF_INET6, text.c_str(), parsed.bytes.data()) != 1) return std::nullopt;
    static constexpr unsigned char kMappedPrefix[12] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xff, 0xff};
    if (std::memcmp(parsed.bytes.data(), kMappedPrefix, sizeof kMappedPrefix) == 0) {
        std::memmove(parsed.bytes.data(), parsed.bytes.data() + 12, 4);
        parsed.v4 = true;
    }
    return parsed;
}

std::string Text(const ParsedAddress& parsed) {
    char out[INET6_ADDRSTRLEN] = {};
    return inet_ntop(parsed.v4 ? AF_INET : AF_INET6, parsed.bytes.data(), out, sizeof out);
}

}  // namespace

std::optional<std::string> NormalAddress(std::string_view address) {
    const auto parsed = Parse(address);
    if (!parsed) return std::nullopt;
    return Text(*parsed);
}

std::string AddressLimitKey(std::string_view address) {
    auto parsed = Parse(address);
    if (!parsed) return std::string(address);
    if (parsed->v4) return Text(*parsed);
    std::fill(parsed->bytes.begin() + 8, parsed->bytes.end(), 0);
    return Text(*parsed) + "/64";
}

}  // namespace platform
