// The table of client addresses that sent mail: one mail per interval from
// each, and a bounded number of addresses remembered.
#include <gtest/gtest.h>

#include "board/mail/MailGuard.h"
#include "platform/Application.h"

namespace {

platform::DateTime At(int seconds) { return platform::MakeDateTime(2024, 5, 1, 12, 0, seconds); }

TEST(AddressMaySendMail, OnePerIntervalAndTheLongestAgoForgottenWhenFull) {
    platform::Application app;
    const struct {
        const char* address;
        int second;
        bool allowed;
    } steps[] = {
        {"10.0.0.1", 0, true},
        {"10.0.0.1", 10, false},  // within the interval
        {"10.0.0.2", 10, true},
        {"10.0.0.1", 11, true},   // the interval of ten seconds is past
        {"10.0.0.2", 15, false},
        {"10.0.0.3", 16, true},   // full: 10.0.0.2 sent longest ago and is forgotten
        {"10.0.0.2", 17, true},
        {"10.0.0.3", 17, false},
        {"10.0.0.1", 17, true},   // forgotten in turn when 10.0.0.2 came back
    };
    for (const auto& s : steps)
        EXPECT_EQ(board::AddressMaySendMail(app, s.address, At(s.second), 10, 2), s.allowed)
            << s.address << " at " << s.second;
}

}  // namespace
