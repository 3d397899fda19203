#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "TarnbellPage.h"
#include "platform/DateTime.h"

namespace {

using platform::Variant;
using testing_support::TarnbellPage;

enum Field { Name, IP, Start, LastRequest, LastScan, Activity };

class OnlineListTest : public ::testing::Test {
protected:
    // One request of a visitor, as `member` (empty: a guest).
    std::string visit(const std::string& ip, const std::string& member = "", const std::string& location = "列表") {
        TarnbellPage tp(&app_);
        tp.Start("/list.asp");
        return tp.page().UpdateOnline(ip, location, member);
    }
    platform::VariantArray list() { return app_("Online").array(); }
    std::string cell(Field f, std::size_t row) { return list().at(f, row).str(); }
    int onlineCount() { return static_cast<int>(app_("OnlineCount").toDouble()); }
    int guestCount() { return static_cast<int>(app_("GuestCount").toDouble()); }
    // Moves row's last request `minutes` into the past (negative: future).
    void age(std::size_t row, int minutes) {
        platform::VariantArray l = list();
        l.at(LastRequest, row) = platform::AddSeconds(platform::Now(), -60LL * minutes);
        app_.Set("Online", Variant(std::move(l)));
    }

    platform::Application app_;
};

TEST_F(OnlineListTest, FirstVisitorCreatesTheList) {
    EXPECT_EQ(visit("1.1.1.1"), "GUEST ");
    EXPECT_EQ(list().size1(), 6u);
    EXPECT_EQ(list().size2(), 21u);
    EXPECT_EQ(cell(Name, 0), "GUEST ");
    EXPECT_EQ(cell(IP, 0), "1.1.1.1");
    EXPECT_EQ(cell(Activity, 0), "列表");
    EXPECT_TRUE(list().at(Start, 0).isDate());
    EXPECT_EQ(cell(IP, 1), "");
    EXPECT_EQ(onlineCount(), 1);
    EXPECT_EQ(guestCount(), 1);
}

TEST_F(OnlineListTest, MatchingByAddressAndByName) {
    visit("1.1.1.1");                                   // guest in row 0
    EXPECT_EQ(visit("1.1.1.1", "alice"), "alice");  // member takes the guest row over
    EXPECT_EQ(cell(Name, 0), "alice");
    EXPECT_EQ(guestCount(), 0);

    EXPECT_EQ(visit("1.1.1.1"), "alice");  // a guest at the member's address keeps the name
    EXPECT_EQ(cell(Name, 0), "alice");

    EXPECT_EQ(visit("2.2.2.2", "alice", "帖子"), "alice");  // member found by name
    EXPECT_EQ(cell(IP, 0), "2.2.2.2");
    EXPECT_EQ(cell(Activity, 0), "帖子");
    EXPECT_EQ(cell(IP, 1), "");
    EXPECT_EQ(onlineCount(), 1);
}

TEST_F(OnlineListTest, FullListExpiryAndClockSetBack) {
    app_.Set("maxUser", 1);  // rows 0 and 1
    visit("1.1.1.1");
    visit("2.2.2.2", "bob");
    EXPECT_EQ(visit("3.3.3.3"), "");  // no free row
    EXPECT_EQ(onlineCount(), 2);

    age(0, 3);  // idle three minutes: still online
    EXPECT_EQ(visit("3.3.3.3"), "");
    age(0, 10);  // idle past OnlineTime: its row goes to the newcomer
    EXPECT_EQ(visit("3.3.3.3"), "GUEST ");
    EXPECT_EQ(cell(IP, 0), "3.3.3.3");
    EXPECT_EQ(onlineCount(), 2);
    EXPECT_EQ(guestCount(), 1);

    age(1, -10);  // last request in the future: the clock was set back
    visit("3.3.3.3");
    EXPECT_EQ(cell(IP, 1), "");
    EXPECT_EQ(onlineCount(), 1);
}

TEST_F(OnlineListTest, EmptyAddressCountsOnlyForItsOwnRequest) {
    EXPECT_EQ(visit(""), "GUEST ");
    EXPECT_EQ(onlineCount(), 1);
    visit("1.1.1.1");
    EXPECT_EQ(cell(IP, 0), "1.1.1.1");
    EXPECT_EQ(onlineCount(), 1);
}

TEST_F(OnlineListTest, AStoredValueThatDoesNotFitIsReplaced) {
    app_.Set("Online", "not a list");
    EXPECT_EQ(visit("1.1.1.1"), "");
    EXPECT_EQ(list().size2(), 21u);
    EXPECT_EQ(cell(IP, 0), "");
    EXPECT_EQ(onlineCount(), 0);

    visit("1.1.1.1");
    app_.Set("maxUser", 30);  // the stored list is now too small
    visit("2.2.2.2");
    EXPECT_EQ(list().size2(), 31u);
    EXPECT_EQ(onlineCount(), 0);
    EXPECT_EQ(visit("2.2.2.2"), "GUEST ");
}

// Requests at the same time must not lose each other's rows.
TEST_F(OnlineListTest, ConcurrentVisitorsAreAllRecorded) {
    app_.Set("maxUser", 200);
    const int threads = 8, perThread = 20;
    std::vector<std::thread> workers;
    for (int t = 0; t < threads; ++t)
        workers.emplace_back([this, t] {
            for (int i = 0; i < perThread; ++i) visit("10." + std::to_string(t) + ".0." + std::to_string(i));
        });
    for (auto& w : workers) w.join();
    EXPECT_EQ(onlineCount(), threads * perThread);
    EXPECT_EQ(guestCount(), threads * perThread);
}

}  // namespace
