#include <gtest/gtest.h>

#include <functional>
#include <limits>

#include "platform/Convert.h"
#include "platform/DateTime.h"
#include "platform/Error.h"

using namespace platform;

namespace {

// The run-time error number a call raises, or 0.
long errorOf(const std::function<void()>& call) {
    try {
        call();
    } catch (const RuntimeError& e) {
        return e.number();
    }
    return 0;
}

}  // namespace

TEST(Convert, IntegersRoundHalvesToEven) {
    struct Case {
        double in;
        int out;
    } cases[] = {{0.5, 0}, {1.5, 2}, {2.5, 2}, {3.5, 4}, {-0.5, 0}, {-1.5, -2},
                 {-2.5, -2}, {1.4999, 1}, {2.5001, 3}, {-2.6, -3}};
    for (const auto& c : cases) {
        EXPECT_EQ(CInt(Variant(c.in)), c.out) << c.in;
        EXPECT_EQ(CLng(Variant(c.in)), c.out) << c.in;
    }
    EXPECT_EQ(CInt(Variant("1.5")), 2);
    EXPECT_EQ(CByte(Variant("254.5")), 254);
}

TEST(Convert, OutOfRangeIsOverflow) {
    EXPECT_EQ(CInt(Variant(32767)), 32767);
    EXPECT_EQ(CInt(Variant("-32768")), -32768);
    EXPECT_EQ(errorOf([] { CInt(Variant(32768)); }), kErrOverflow);
    EXPECT_EQ(errorOf([] { CInt(Variant("32767.5")); }), kErrOverflow);
    EXPECT_EQ(errorOf([] { CInt(Variant(-32769)); }), kErrOverflow);
    EXPECT_EQ(CLng(Variant(2147483647LL)), 2147483647);
    EXPECT_EQ(errorOf([] { CLng(Variant(2147483648LL)); }), kErrOverflow);
    EXPECT_EQ(CByte(Variant(255)), 255);
    EXPECT_EQ(CByte(Variant(-0.5)), 0);
    EXPECT_EQ(errorOf([] { CByte(Variant(256)); }), kErrOverflow);
    EXPECT_EQ(errorOf([] { CByte(Variant(-1)); }), kErrOverflow);
}

TEST(Convert, EmptyTextNullAndOtherTypes) {
    // Empty converts quietly; "" and letters are no number; Null is error 94.
    EXPECT_EQ(CInt(Variant()), 0);
    EXPECT_EQ(CStr(Variant()), "");
    EXPECT_FALSE(CBool(Variant()));
    for (const char* text : {"", " ", "abc", "1x", "True"})
        EXPECT_EQ(errorOf([&] { CInt(Variant(text)); }), kErrTypeMismatch) << text;
    EXPECT_EQ(errorOf([] { CInt(Variant::null()); }), kErrInvalidUseOfNull);
    EXPECT_EQ(errorOf([] { CLng(Variant::null()); }), kErrInvalidUseOfNull);
    EXPECT_EQ(errorOf([] { CBool(Variant::null()); }), kErrInvalidUseOfNull);
    EXPECT_EQ(CInt(Variant(true)), -1);
    EXPECT_EQ(CInt(Variant(" 1,000 ")), 1000);
    EXPECT_EQ(CLng(Variant("&H1F")), 31);
    EXPECT_EQ(errorOf([] { CInt(Variant(VariantArray(1, 1))); }), kErrTypeMismatch);
}

TEST(Convert, BooleanFromNumbersAndTexts) {
    EXPECT_TRUE(CBool(Variant(2)));
    EXPECT_TRUE(CBool(Variant(-0.5)));
    EXPECT_FALSE(CBool(Variant(0)));
    for (const char* text : {"True", "true", "TRUE", "tRuE", "1", "-1", "0.1"})
        EXPECT_TRUE(CBool(Variant(text))) << text;
    for (const char* text : {"False", "false", "FALSE", "0", "0.0"})
        EXPECT_FALSE(CBool(Variant(text))) << text;
    for (const char* text : {"", "yes", "T", "truex"})
        EXPECT_EQ(errorOf([&] { CBool(Variant(text)); }), kErrTypeMismatch) << text;
}

TEST(Convert, TextOfValues) {
    EXPECT_EQ(CStr(Variant(true)), "True");
    EXPECT_EQ(CStr(Variant(false)), "False");
    EXPECT_EQ(CStr(Variant(-42)), "-42");
    EXPECT_EQ(CStr(Variant::integer(7)), "7");
    EXPECT_EQ(CStr(Variant(MakeDateTime(2001, 3, 5, 9, 7, 30))), "2001-03-05 09:07:30");
    EXPECT_EQ(CStr(Variant(MakeDateTime(2001, 3, 5))), "2001-03-05 00:00:00");
    struct Case {
        double in;
        const char* out;
    } cases[] = {{1.5, "1.5"},       {0.1, "0.1"},         {3.0, "3"},
                 {-0.0, "0"},        {1e20, "1E+20"},      {1.5e-7, "1.5E-07"},
                 {0.0001, "0.0001"}, {1.0 / 3, "0.333333333333333"},
                 {123456789012345.0, "123456789012345"},   {1e15, "1E+15"},
                 {0.1 + 0.2, "0.3"}};
    for (const auto& c : cases) EXPECT_EQ(CStr(Variant(c.in)), c.out) << c.in;
}

TEST(Convert, DateFromValues) {
    DateTime d = MakeDateTime(2001, 3, 5, 9, 7, 30);
    EXPECT_EQ(CDate(Variant(d)), d);
    EXPECT_EQ(CDate(Variant("2001-3-5 9:07:30")), d);
    EXPECT_EQ(CDate(Variant(d.serial)).serial, d.serial);
    EXPECT_EQ(errorOf([] { CDate(Variant("2001-02-30")); }), kErrTypeMismatch);
    EXPECT_EQ(errorOf([] { CDate(Variant("")); }), kErrTypeMismatch);
    EXPECT_EQ(errorOf([] { CDate(Variant::null()); }), kErrInvalidUseOfNull);
    EXPECT_EQ(errorOf([] { CDate(Variant(1e300)); }), kErrOverflow);
}

// Numbers convert to dates of the years 100 to 9999 only, to the second the
// date stands for, so that every date converted writes a text that reads back.
TEST(Convert, DateFromNumbersStaysInTheYears100To9999) {
    const double lastSecond = 2958466.0 - 1.0 / 86400;
    for (double serial : {-657434.0, -657434.0 + 0.4 / 86400, 0.0, lastSecond, 2958465.5}) {
        const DateTime d = CDate(Variant(serial));
        const auto back = ParseDateTime(FormatGeneral(d));
        ASSERT_TRUE(back.has_value()) << serial << " gives " << FormatGeneral(d);
    }
    for (double serial : {2958466.0, 2958465.99999999, lastSecond + 0.6 / 86400, -657434.0 - 0.6 / 86400,
                          -1e300, std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity()})
        EXPECT_EQ(errorOf([serial] { CDate(Variant(serial)); }), kErrOverflow) << serial;
    for (const char* text : {"0099-12-31", "99-1-1", "10000-01-01", "9999-12-31 24:00:00"})
        EXPECT_EQ(errorOf([text] { CDate(Variant(text)); }), kErrTypeMismatch) << text;
}

TEST(Convert, NumericTest) {
    for (const char* text : {"0", "12", " 12 ", "-3", "+3", "1.5", ".5", "5.", "1,000",
                             "1,000,000.25", "1e3", "1.5E-2", "2e+10", "&H1F", "&h1f",
                             "&O17", "\t7\n"})
        EXPECT_TRUE(IsNumericText(text)) << text;
    for (const char* text : {"", " ", "abc", "1a", "1 2", "1.2.3", ".", "-", "1e", "1e+",
                             ",1", "1,,0", "1.0,5", "&H", "&HG", "&O8", "&17", "3-",
                             "1e400"})
        EXPECT_FALSE(IsNumericText(text)) << text;
    EXPECT_TRUE(IsNumeric(Variant()));
    EXPECT_FALSE(IsNumeric(Variant::null()));
    EXPECT_TRUE(IsNumeric(Variant(true)));
    EXPECT_TRUE(IsNumeric(Variant(2.5)));
    EXPECT_FALSE(IsNumeric(Variant(MakeDateTime(2001, 1, 1))));
    EXPECT_DOUBLE_EQ(CDbl(Variant("1,000")), 1000);
    EXPECT_DOUBLE_EQ(CDbl(Variant("-1.5e2")), -150);
}

TEST(Convert, LeadingNumberReading) {
    struct Case {
        const char* in;
        double out;
    } cases[] = {{"2abc", 2},      {" 1 2", 12},     {"&H10", 16},   {"&h1f", 31},
                 {"&O17", 15},     {"&o19", 1},      {"abc", 0},     {"", 0},
                 {"1.5e2x", 150},  {"-3", -3},       {"- 3", -3},    {"+4", 4},
                 {"\t1\n2", 12},   {"1,000", 1},     {"1.2.3", 1.2}, {".5", 0.5},
                 {"1e", 1},        {"1e+", 1},       {"2 e 1", 20},  {"300", 300},
                 {"-", 0},         {"&", 0},         {"&x1", 0},     {"1\r2", 1}};
    for (const auto& c : cases) EXPECT_DOUBLE_EQ(Val(c.in), c.out) << c.in;
    // The page-style reading converts the number read to a Byte.
    EXPECT_EQ(CByte(Variant(Val("2abc"))), 2);
    EXPECT_EQ(errorOf([] { CByte(Variant(Val("300"))); }), kErrOverflow);
}
