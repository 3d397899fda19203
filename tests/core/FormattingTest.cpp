#include <gtest/gtest.h>

#include <string>

#include "core/Module1.h"
#include "core/ScopedSettings.h"
#include "platform/DateTime.h"
#include "platform/Error.h"

namespace {

using platform::Variant;

TEST(FormatPostTime, PadsDateAndTimeAndColoursTheTime) {
    testing_support::ScopedSettings settings;
    settings->TimeColor = "#800080";
    const Variant t(platform::MakeDateTime(2001, 3, 5, 9, 7, 30));
    EXPECT_EQ(core::FormatPostTime(t).str(), "2001-03-05 <FONT COLOR=#800080>09:07:30</font>");
    EXPECT_EQ(core::FormatLastPostTime(t).str(),
              "<font class=lastlyposttime>2001-03-05</font>&nbsp;"
              "<FONT class=lastlyposttime COLOR=#800080>09:07:30</font>");
    // Afternoon hours in 24-hour form; a date given as text reads the same.
    EXPECT_EQ(core::FormatPostTime(Variant("2011-12-31 23:05:00")).str(),
              "2011-12-31 <FONT COLOR=#800080>23:05:00</font>");
}

TEST(FormatPostTime, ValueThatIsNoDateIsAnError) {
    EXPECT_THROW(core::FormatPostTime(Variant("yesterday")), platform::RuntimeError);
    EXPECT_THROW(core::FormatLastPostTime(Variant::null()), platform::RuntimeError);
}

TEST(TruncateText, CutsAfterNCharactersAndMarksTheCut) {
    const struct {
        const char* text;
        std::int16_t n;
        const char* expected;
    } cases[] = {
        {"abcde", 5, "abcde"},
        {"abcdef", 5, "abcde......"},
        {"中文字符串", 5, "中文字符串"},
        {"中文字符串啊", 5, "中文字符串......"},
        {"", 0, ""},
        {"a", 0, "......"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(core::TruncateText(c.text, c.n), c.expected) << c.text << " " << c.n;
    }
}

TEST(MaskIP, HidesTheLastPartOfIPv4AndIPv6Addresses) {
    const struct {
        const char* ip;
        const char* expected;
    } cases[] = {
        {"", ""},
        {"192.168.10.25", "192.168.10.*"},
        {"localhost", "localhost"},
        {"2001:db8::8a2e:370:7334", "2001:db8::8a2e:370:*"},
        {"::1", "::*"},
        {"::ffff:10.1.2.3", "::ffff:10.1.2.*"},
    };
    for (const auto& c : cases) EXPECT_EQ(core::MaskIP(c.ip).str(), c.expected) << c.ip;
}

}  // namespace
