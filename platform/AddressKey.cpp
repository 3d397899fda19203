#include "platform/AddressKey.h"

#include <arpa/inet.h>

#include <algorithm>
#include <array>
#include <cstring>

namespace platform {

std::string AddressLimitKey(std::string_view address) {
    const std::string text(address.substr(0, address.find('%')));
    char out[INET6_ADDRSTRLEN] = {};
    in_addr v4{};
    if (inet_pton(AF_INET, text.c_str(), &v4) == 1) return inet_ntop(AF_INET, &v4, out, sizeof out);

    std::array<unsigned char, 16> v6{};
    if (inet_pton(AF_INET6, text.c_str(), v6.data()) != 1) return std::string(address);
    static constexpr unsigned char kMappedPrefix[12] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xff, 0xff};
    if (std::memcmp(v6.data(), kMappedPrefix, sizeof kMappedPrefix) == 0)
        return inet_ntop(AF_INET, v6.data() + 12, out, sizeof out);
    std::fill(v6.begin() + 8, v6.end(), 0);
    return std::string(inet_ntop(AF_INET6, v6.data(), out, sizeof out)) + "/64";
}

}  // namespace platform
