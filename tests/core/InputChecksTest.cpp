#include <gtest/gtest.h>

#include <string>

#include "core/Module1.h"
#include "core/ScopedSettings.h"
#include "platform/Error.h"

namespace {

using platform::Variant;

TEST(SqlQuote, DoublesEverySingleQuoteAndNothingElse) {
    EXPECT_EQ(core::SqlQuote(Variant("O'Brien's")).str(), "O''Brien''s");
    EXPECT_EQ(core::SqlQuote(Variant("''")).str(), "''''");
    EXPECT_EQ(core::SqlQuote(Variant("a\"b\\c;--")).str(), "a\"b\\c;--");
    EXPECT_EQ(core::SqlQuote(Variant("")).str(), "");
    EXPECT_EQ(core::SqlQuote(Variant(12)).str(), "12");
    EXPECT_TRUE(core::SqlQuote(Variant("x")).isString());
}

TEST(SqlQuote, NullHasNoTextForm) {
    try {
        core::SqlQuote(Variant::null());
        FAIL() << "no error";
    } catch (const platform::RuntimeError& e) {
        EXPECT_EQ(e.number(), platform::kErrInvalidUseOfNull);
    }
}

TEST(IsPositiveNumber, AcceptsOnlyValuesRoundingToAPositive32BitInteger) {
    const struct {
        Variant value;
        bool expected;
    } cases[] = {
        {Variant("12"), true},       {Variant("1.5"), true},  {Variant(" 7 "), true},
        {Variant(3), true},          {Variant("0"), false},   {Variant("-3"), false},
        {Variant("0.5"), false},     {Variant("2.5e0"), true}, {Variant("abc"), false},
        {Variant("12abc"), false},   {Variant(""), false},    {Variant(), false},
        {Variant::null(), false},    {Variant("2147483647"), true},
        {Variant("2147483648"), false}, {Variant("99999999999999999999"), false},
        {Variant("1;drop table post"), false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(core::IsPositiveNumber(c.value), c.expected) << "value " << c.value.str();
    }
}

TEST(IsValidUserName, TrimsTheCallersVariable) {
    std::string name = "  ab12  ";
    EXPECT_TRUE(core::IsValidUserName(name, Variant(15)));
    EXPECT_EQ(name, "ab12");

    std::string blanks = "   ";
    EXPECT_FALSE(core::IsValidUserName(blanks, Variant(0)));
    EXPECT_EQ(blanks, "");
}

TEST(IsValidUserName, AcceptsDigitsLettersAndDoubleByteCharactersOnly) {
    const struct {
        const char* name;
        bool expected;
    } cases[] = {
        {"Ab09", true},      {"张三", true},        {"张san3", true},
        {"a_b", false},      {"a b", false},        {"a.b", false},
        {"a'b", false},      {"a<b>", false},       {"a@b", false},
        {"a\tb", false},     {"ü", true},           // a double-byte pinyin letter
        {"ä", false},        {"한", false},         {"a😀", false},  // no GBK form
        {"a€", false},       {"\xC3", false},      // single-byte in GBK; broken UTF-8
    };
    for (const auto& c : cases) {
        std::string name = c.name;
        EXPECT_EQ(core::IsValidUserName(name, Variant(0)), c.expected) << c.name;
    }
}

TEST(IsValidUserName, LimitsLengthInCharacters) {
    std::string ten = "一二三四五六七八九十";
    std::string eleven = ten + "a";
    EXPECT_TRUE(core::IsValidUserName(ten, Variant(10)));
    EXPECT_FALSE(core::IsValidUserName(eleven, Variant(10)));
    EXPECT_TRUE(core::IsValidUserName(eleven, Variant(0)));  // 0: no limit
    EXPECT_TRUE(core::IsValidUserName(eleven, Variant()));   // Empty counts as 0
}

TEST(IsIPAllowed, RefusesExactEntriesOfTheRejectList) {
    testing_support::ScopedSettings settings;
    settings->RejectiveIP = "";
    EXPECT_TRUE(core::IsIPAllowed("10.0.0.1"));

    settings->RejectiveIP = "10.0.0.1,10.0.0.2";
    EXPECT_FALSE(core::IsIPAllowed("10.0.0.1"));
    EXPECT_FALSE(core::IsIPAllowed("10.0.0.2"));
    EXPECT_TRUE(core::IsIPAllowed("10.0.0.3"));
    EXPECT_TRUE(core::IsIPAllowed("10.0.0."));  // no prefixes or wildcards

    settings->RejectiveIP = "10.0.0.1, 10.0.0.2";  // the entry starts with the blank
    EXPECT_TRUE(core::IsIPAllowed("10.0.0.2"));
}

TEST(IsInList, MatchesWholeEntriesExactly) {
    EXPECT_FALSE(core::IsInList("", ""));
    EXPECT_FALSE(core::IsInList("", "a"));
    EXPECT_TRUE(core::IsInList("灌水,Tech", "Tech"));
    EXPECT_TRUE(core::IsInList("灌水,Tech", "灌水"));
    EXPECT_FALSE(core::IsInList("灌水,Tech", "tech"));
    EXPECT_FALSE(core::IsInList("灌水,Tech", "Te"));
    EXPECT_FALSE(core::IsInList("灌水, Tech", "Tech"));
    EXPECT_TRUE(core::IsInList("a,,b", ""));
}

}  // namespace
