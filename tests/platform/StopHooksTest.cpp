// Stop hooks: each runs once, in order, even after another failed.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "platform/StopHooks.h"

TEST(StopHooks, RunOnceInOrderAndAFailureStopsNoOtherHook) {
    std::string ran;
    platform::AtStop([&] { ran += "a"; });
    platform::AtStop([&] {
        ran += "b";
        throw std::runtime_error("disk full");
    });
    platform::AtStop([&] { ran += "c"; });

    EXPECT_THROW(
        try { platform::RunStopHooks(); } catch (const std::runtime_error& e) {
            EXPECT_STREQ(e.what(), "disk full");
            throw;
        },
        std::runtime_error);
    EXPECT_EQ(ran, "abc");
    platform::RunStopHooks();
    EXPECT_EQ(ran, "abc");
}
