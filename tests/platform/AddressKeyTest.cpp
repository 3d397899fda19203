#include <gtest/gtest.h>

#include "platform/AddressKey.h"

namespace {

TEST(AddressLimitKey, AnIpv6ClientIsItsSlash64AndAMappedAddressItsIpv4) {
    const struct {
        const char* address;
        const char* key;
    } cases[] = {
        {"10.1.2.3", "10.1.2.3"},
        {"::ffff:10.1.2.3", "10.1.2.3"},
        {"::FFFF:10.1.2.3", "10.1.2.3"},
        {"::ffff:a01:203", "10.1.2.3"},
        {"2001:db8:1:2::1", "2001:db8:1:2::/64"},
        {"2001:db8:1:2:ffff:ffff:ffff:ffff", "2001:db8:1:2::/64"},
        {"2001:0DB8:0001:0002:0:0:0:7", "2001:db8:1:2::/64"},
        {"2001:db8:1:3::1", "2001:db8:1:3::/64"},
        {"fe80::1%eth0", "fe80::/64"},
        {"::1", "::/64"},
        {"", ""},
        {"not an address", "not an address"},
    };
    for (const auto& c : cases) EXPECT_EQ(platform::AddressLimitKey(c.address), c.key) << c.address;
}

}  // namespace
