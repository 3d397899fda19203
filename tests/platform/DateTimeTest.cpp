#include <gtest/gtest.h>

#include <vector>

#include "platform/DateTime.h"

using namespace platform;

TEST(DateTime, SerialNumbersCountDaysFrom18991230) {
    EXPECT_EQ(MakeDateTime(1899, 12, 30).serial, 0);
    EXPECT_EQ(MakeDateTime(1900, 1, 1).serial, 2);
    EXPECT_EQ(MakeDateTime(2000, 1, 1).serial, 36526);
    EXPECT_EQ(MakeDateTime(2000, 1, 1, 12).serial, 36526.5);
    DateParts p = Parts(MakeDateTime(2024, 2, 29, 23, 59, 59));
    EXPECT_EQ((std::vector<int>{p.year, p.month, p.day, p.hour, p.minute, p.second}),
              (std::vector<int>{2024, 2, 29, 23, 59, 59}));
}

TEST(DateTime, TextWrittenAndReadBack) {
    DateTime d = MakeDateTime(2001, 3, 5, 9, 7, 30);
    EXPECT_EQ(FormatGeneral(d), "2001-03-05 09:07:30");
    EXPECT_EQ(FormatDate(d), "2001-03-05");
    EXPECT_EQ(FormatTime(d), "09:07:30");
    EXPECT_EQ(ParseDateTime(FormatGeneral(d)), d);

    // Every digit in its place, at the ends of the years and of the day.
    const struct {
        DateTime date;
        const char* text;
    } cases[] = {
        {MakeDateTime(100, 1, 1), "0100-01-01 00:00:00"},
        {MakeDateTime(999, 12, 31, 23, 59, 59), "0999-12-31 23:59:59"},
        {MakeDateTime(1899, 12, 30), "1899-12-30 00:00:00"},
        {MakeDateTime(1999, 10, 9, 10, 1, 9), "1999-10-09 10:01:09"},
        {MakeDateTime(9999, 12, 31, 23, 59, 59), "9999-12-31 23:59:59"},
    };
    for (const auto& c : cases) EXPECT_EQ(FormatGeneral(c.date), c.text);

    DateTime now = Now();
    EXPECT_EQ(ParseDateTime(FormatGeneral(now)), now);
    EXPECT_EQ(FormatGeneral(*ParseDateTime(FormatGeneral(now))), FormatGeneral(now));
}

TEST(DateTime, ReadsUnpaddedAndShortForms) {
    struct Case {
        const char* text;
        const char* general;
    } cases[] = {{"2001-3-5 9:07:30", "2001-03-05 09:07:30"},
                 {"2001-3-5 9:7:3", "2001-03-05 09:07:03"},
                 {"2001/03/05 23:59:59", "2001-03-05 23:59:59"},
                 {"2001-03-05", "2001-03-05 00:00:00"},
                 {"2001-3-5 9:07", "2001-03-05 09:07:00"},
                 {" 2001-03-05  10:00:00 ", "2001-03-05 10:00:00"},
                 {"2000-02-29", "2000-02-29 00:00:00"}};
    for (const auto& c : cases) {
        auto d = ParseDateTime(c.text);
        ASSERT_TRUE(d) << c.text;
        EXPECT_EQ(FormatGeneral(*d), c.general) << c.text;
    }
}

TEST(DateTime, RejectsInvalidDates) {
    for (const char* text :
         {"", "abc", "2001", "2001-03", "2001-13-01", "2001-00-10", "2001-02-29", "1900-02-29",
          "2001-04-31", "2001-03-00", "2001-03-05 24:00:00", "2001-03-05 10:60",
          "2001-03-05 10:00:60", "2001-03-05 10", "2001-03-05 10:00:00x",
          "2001-03-05x", "2001-03/05", "01-03-05", "2001-003-05", "2001-03-05 10:00:",
          "2001-03-05T10:00:00", "0099-01-01"})
        EXPECT_FALSE(ParseDateTime(text)) << text;
}

TEST(DateTime, DateTest) {
    EXPECT_TRUE(IsDate(Variant(Now())));
    EXPECT_TRUE(IsDate(Variant("2001-3-5")));
    EXPECT_FALSE(IsDate(Variant("2001-2-30")));
    EXPECT_FALSE(IsDate(Variant(36526.0)));
    EXPECT_FALSE(IsDate(Variant()));
    EXPECT_FALSE(IsDate(Variant::null()));
}

TEST(DateTime, CountsBoundariesCrossed) {
    auto at = [](const char* text) { return *ParseDateTime(text); };
    // One second later, but a new minute.
    EXPECT_EQ(MinutesBetween(at("2001-03-05 10:00:59"), at("2001-03-05 10:01:00")), 1);
    EXPECT_EQ(SecondsBetween(at("2001-03-05 10:00:59"), at("2001-03-05 10:01:00")), 1);
    // Almost a minute, but no boundary.
    EXPECT_EQ(MinutesBetween(at("2001-03-05 10:01:00"), at("2001-03-05 10:01:59")), 0);
    EXPECT_EQ(MinutesBetween(at("2001-03-05 10:01:00"), at("2001-03-05 10:00:59")), -1);
    // Across midnight and the end of a leap February.
    DateTime late = at("2000-02-29 23:59:59"), early = at("2000-03-01 00:00:00");
    EXPECT_EQ(SecondsBetween(late, early), 1);
    EXPECT_EQ(MinutesBetween(late, early), 1);
    EXPECT_EQ(DaysBetween(late, early), 1);
    EXPECT_EQ(DaysBetween(early, late), -1);
    EXPECT_EQ(DaysBetween(at("2001-03-05 00:00:00"), at("2001-03-05 23:59:59")), 0);
    // Sums of floating-point serials still land on whole seconds.
    DateTime stepped = at("2001-03-05 10:00:59");
    for (int i = 0; i < 61; ++i) stepped = AddSeconds(stepped, 1);
    EXPECT_EQ(FormatGeneral(stepped), "2001-03-05 10:02:00");
    EXPECT_EQ(MinutesBetween(at("2001-03-05 10:00:59"), stepped), 2);
}

TEST(DateTime, AddsDays) {
    DateTime d = MakeDateTime(2001, 2, 28, 10, 0, 0);
    EXPECT_EQ(FormatGeneral(AddDays(d, 1)), "2001-03-01 10:00:00");
    EXPECT_EQ(FormatGeneral(AddDays(d, -365)), "2000-02-29 10:00:00");
    EXPECT_EQ(FormatGeneral(AddDays(d, 0.5)), "2001-02-28 22:00:00");
    EXPECT_EQ(FormatGeneral(AddSeconds(d, -36000)), "2001-02-28 00:00:00");
}

TEST(HeaderDate, HttpAndMailForms) {
    EXPECT_EQ(platform::HeaderDate(0, platform::HeaderZone::Gmt), "Thu, 01 Jan 1970 00:00:00 GMT");
    EXPECT_EQ(platform::HeaderDate(984000000, platform::HeaderZone::Gmt), "Wed, 07 Mar 2001 21:20:00 GMT");
    const std::string mail = platform::HeaderDate(984000000, platform::HeaderZone::LocalWithOffset);
    ASSERT_EQ(mail.size(), std::string("Wed, 07 Mar 2001 21:20:00 +0000").size()) << mail;
    EXPECT_TRUE(mail.compare(mail.size() - 5, 1, "+") == 0 || mail.compare(mail.size() - 5, 1, "-") == 0) << mail;
}

TEST(DateTime, ASetClockHoldsNowUntilGivenBack) {
    const DateTime set = MakeDateTime(2001, 3, 5, 9, 7, 30);
    platform::SetClock(set);
    EXPECT_EQ(Now(), set);
    platform::SetClock(std::nullopt);
    EXPECT_GT(Now(), MakeDateTime(2020, 1, 1));
}
