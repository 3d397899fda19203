#include <gtest/gtest.h>

#include <functional>

#include "platform/Application.h"

namespace {

using platform::Application;
using platform::Variant;

TEST(ApplicationReadStampTest, ChangesOnlyWithWhatWasRead) {
    const struct {
        const char* change;
        std::function<void(Application&)> apply;
        bool unchanged;
    } cases[] = {
        {"nothing", [](Application&) {}, true},
        {"a read key set to its value", [](Application& a) { a.Set("Name", "board"); }, true},
        {"an unread key set anew", [](Application& a) { a.Set("Count", Variant(2)); }, true},
        {"a read key set anew (other case)", [](Application& a) { a.Set("NAME", "other"); }, false},
        {"a read key changed in place", [](Application& a) { a.Update("name", [](Variant&) {}); }, false},
        {"a key added", [](Application& a) { a.Set("Missing", Variant(1)); }, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.change);
        Application app;
        app.Set("Name", "board");
        app.Set("Count", Variant(1));
        Application::ReadStamp stamp;
        stamp.Start(app);
        stamp.Note("name");
        stamp.Note("missing");
        stamp.Finish();
        c.apply(app);
        EXPECT_EQ(stamp.Unchanged(app), c.unchanged);
        EXPECT_FALSE(stamp.Unchanged(Application{}));
    }
}

TEST(ApplicationReadStampTest, AnUnfinishedReadIsNeverUnchanged) {
    Application app;
    Application::ReadStamp stamp;
    EXPECT_FALSE(stamp.Unchanged(app));
    stamp.Start(app);
    stamp.Note("name");
    EXPECT_FALSE(stamp.Unchanged(app));
    stamp.Finish();
    EXPECT_TRUE(stamp.Unchanged(app));
}

}  // namespace
