// Pages that keep what they build from the rows show a changed setting on
// the next request, although no post changed in between.
#include <gtest/gtest.h>

#include <string>

#include "BrowseBoard.h"

namespace browse_test {
namespace {

struct KeptPage {
    const char* name;
    std::string page;
    site::Fields query;
};

TEST(KeptPagesTest, AChangedSettingShowsOnTheNextRequest) {
    BrowseBoard board;
    board.AddForum("Talk", 1, 1);
    board.AddMember("ann", "pw");
    const long long topic = board.AddTopic("Talk", "ann", "hello", DaysAgo(0.01));
    board.AddReply(topic, "Talk", "ann", DaysAgo(0.005));

    const KeptPage pages[] = {
        {"board home", "default.asp", {}},
        {"topic list", "list.asp", {{"GroupName", "Talk"}}},
        {"thread", "newsdetail.asp", {{"id", std::to_string(topic)}}},
        {"today's topics", "search.asp", {{"action", "getdaily"}}},
    };
    for (const auto& [setting, before, after] :
         {std::tuple{"TimeColor", "#800080", "#123456"}, std::tuple{"AltColumnColor1", "#abcdef", "#654321"}}) {
        for (const KeptPage& page : pages) {
            SCOPED_TRACE(std::string(page.name) + ", " + setting);
            board.Set(setting, before);
            ASSERT_TRUE(Has(board.Get(page.page, page.query).body, before));
            board.Set(setting, after);
            const std::string body = board.Get(page.page, page.query).body;
            EXPECT_TRUE(Has(body, after));
            EXPECT_FALSE(Has(body, before));
        }
    }
}

}  // namespace
}  // namespace browse_test
