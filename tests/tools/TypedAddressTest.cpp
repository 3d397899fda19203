// Every forum and member name of a seeded board reaches its topic list and
// member view both by the board's own links (GBK) and typed into a
// browser's address bar (sent as UTF-8).
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "TempFolder.h"
#include "platform/Charset.h"
#include "platform/DataSources.h"
#include "site/RequestDriver.h"
#include "tools/seed/BoardPlan.h"
#include "tools/seed/LocalTime.h"
#include "tools/seed/Seeder.h"

namespace boardseed {
namespace {

// Percent-encodes every byte of the name's UTF-8 form, as browsers do.
std::string Utf8Escaped(const std::string& text) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : text) out += std::string("%") + kHex[c >> 4] + kHex[c & 15];
    return out;
}

TEST(TypedAddress, EverySeededNameIsFoundInGbkAndInUtf8) {
    TempFolder folder;
    SeedOptions options;
    options.db = folder.File("board.db");
    // Enough posts for a member of every name base (bigger boards only add
    // numbers to them).
    options.posts = 10000;
    options.now = StartOfDay(1765368000) + 12 * kHour;
    SeedBoard(options);
    const BoardPlan plan = PlanBoard(options.posts, options.seed, options.now, 1);
    platform::DataSources::Set("Tarnbell", options.db);
    site::BoardHost host;
    site::RequestDriver driver{host};

    auto get = [&](const std::string& page, const std::string& query) {
        site::DriverRequest request;
        request.page = page;
        request.rawQuery = query;
        return driver.Run(request).body;
    };
    ASSERT_GT(plan.forums.size(), 5u);
    ASSERT_GE(plan.members.size(), 172u);
    struct Address {
        std::string query, name, missing;
    };
    std::vector<std::pair<std::string, Address>> addresses;
    for (const ForumPlan& forum : plan.forums)
        addresses.push_back({"list.asp", {"GroupName=", forum.name, "该论坛不存在"}});
    for (const MemberPlan& member : plan.members)
        addresses.push_back({"viewuser.asp", {"username=", member.name, "该用户不存在"}});
    for (const auto& [page, address] : addresses) {
        SCOPED_TRACE(page + " " + address.name);
        for (const std::string& encoded : {platform::UrlEncode(address.name), Utf8Escaped(address.name)}) {
            const std::string body = get(page, address.query + encoded);
            EXPECT_EQ(body.find(address.missing), std::string::npos) << encoded;
            EXPECT_NE(body.find(platform::HtmlEncode(address.name)), std::string::npos) << encoded;
        }
    }
    platform::DataSources::Remove("Tarnbell");
}

}  // namespace
}  // namespace boardseed
