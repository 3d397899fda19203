// Who a request comes from when a reverse proxy stands in front: only the
// proxies the setting names are believed about the client behind them.
#include <gtest/gtest.h>

#include "site/TrustedProxy.h"

namespace {

site::TrustedProxies Proxies(std::string_view setting) {
    std::string bad;
    const auto proxies = site::TrustedProxies::FromSetting(setting, bad);
    EXPECT_TRUE(proxies) << bad;
    return proxies.value_or(site::TrustedProxies());
}

TEST(TrustedProxies, TheSettingNamesAddresses) {
    const site::TrustedProxies proxies = Proxies(" 127.0.0.1,10.0.0.9  2001:db8::7 ");
    for (const char* trusted : {"127.0.0.1", "10.0.0.9", "2001:db8::7", "2001:DB8:0::7", "::ffff:127.0.0.1"})
        EXPECT_TRUE(proxies.Trusts(trusted)) << trusted;
    for (const char* other : {"127.0.0.2", "", "localhost", "2001:db8::8"}) EXPECT_FALSE(proxies.Trusts(other)) << other;
    EXPECT_FALSE(site::TrustedProxies().Trusts("127.0.0.1"));

    std::string bad;
    EXPECT_FALSE(site::TrustedProxies::FromSetting("127.0.0.1, proxy.example.org", bad));
    EXPECT_EQ(bad, "proxy.example.org");
    EXPECT_TRUE(site::TrustedProxies::FromSetting("", bad)->empty());
}

TEST(TrustedProxies, TheClientIsTheLastAddressNoTrustedProxyWrote) {
    const site::TrustedProxies proxies = Proxies("127.0.0.1, 10.0.0.9");
    const struct {
        const char* peer;
        const char* forwardedFor;
        const char* client;
    } cases[] = {
        {"127.0.0.1", "", "127.0.0.1"},
        {"127.0.0.1", "203.0.113.5", "203.0.113.5"},
        {"::ffff:127.0.0.1", "203.0.113.5", "203.0.113.5"},
        {"127.0.0.1", "2001:db8::1", "2001:db8::1"},
        // What the client sent itself stands left of what the proxy appended.
        {"127.0.0.1", "198.51.100.1, 203.0.113.5", "203.0.113.5"},
        {"127.0.0.1", "203.0.113.5, 10.0.0.9", "203.0.113.5"},
        {"127.0.0.1", "203.0.113.5,10.0.0.9,", "203.0.113.5"},
        {"127.0.0.1", "unknown, 10.0.0.9", "10.0.0.9"},
        {"127.0.0.1", "10.0.0.9, 127.0.0.1", "10.0.0.9"},
        // Anyone else's header is not believed.
        {"198.51.100.7", "203.0.113.5", "198.51.100.7"},
        {"10.0.0.10", "203.0.113.5", "10.0.0.10"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(proxies.ClientAddress(c.peer, c.forwardedFor), c.client) << c.peer << " / " << c.forwardedFor;
}

TEST(TrustedProxies, TheHostTakesTheClientsAddressFromEveryHeaderLine) {
    const site::TrustedProxies proxies = Proxies("127.0.0.1");
    platform::RawRequest raw;
    raw.remoteAddr = "127.0.0.1";
    raw.headers = {{"X-Forwarded-For", "198.51.100.1"}, {"x-forwarded-for", "203.0.113.5"}};
    EXPECT_TRUE(proxies.TakeClientAddress(raw));
    EXPECT_EQ(raw.remoteAddr, "203.0.113.5");

    raw.remoteAddr = "127.0.0.2";
    EXPECT_FALSE(proxies.TakeClientAddress(raw));
    EXPECT_EQ(raw.remoteAddr, "127.0.0.2");
}

}  // namespace
