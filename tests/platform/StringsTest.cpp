#include <gtest/gtest.h>

#include "platform/Error.h"
#include "platform/Strings.h"

using namespace platform;

namespace {
const Compare kText = Compare::Text;
}

TEST(Strings, CountsAndCutsCharactersNotBytes) {
    const std::string s = "论坛ab中文";
    EXPECT_EQ(Len(s), 6u);
    EXPECT_EQ(Len(""), 0u);
    EXPECT_EQ(Left(s, 3), "论坛a");
    EXPECT_EQ(Left(s, 99), s);
    EXPECT_EQ(Right(s, 3), "b中文");
    EXPECT_EQ(Right(s, 99), s);
    EXPECT_EQ(Mid(s, 2, 3), "坛ab");
    EXPECT_EQ(Mid(s, 5), "中文");
    EXPECT_EQ(Mid(s, 7), "");
    EXPECT_EQ(Mid(s, 6, 10), "文");
}

TEST(Strings, MalformedBytesCountAsOneCharacterEach) {
    const std::string s = "a\xE4\xB8z\xFF";  // truncated sequence, stray byte
    EXPECT_EQ(Len(s), 5u);
    EXPECT_EQ(ToUtf32(s), std::u32string(U"a\uFFFD\uFFFDz\uFFFD"));
    EXPECT_EQ(Mid(s, 4, 1), "z");
}

TEST(Strings, StartZeroIsAnInvalidCall) {
    try {
        Mid("abc", 0);
        FAIL();
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.number(), 5);
    }
    EXPECT_THROW(InStr("abc", "b", Compare::Binary, 0), RuntimeError);
}

TEST(Strings, InStrFindsCharacterPositions) {
    struct Case { std::string s, what; Compare cmp; std::size_t start, expected; };
    const Case cases[] = {
        {"中文Abc中文", "abc", Compare::Binary, 1, 0},
        {"中文Abc中文", "aBC", kText, 1, 3},
        {"中文Abc中文", "中文", Compare::Binary, 2, 6},
        {"中文Abc中文", "中文", Compare::Binary, 7, 0},
        {"ÉCOLE école", "é", kText, 2, 7},
        {"abc", "", Compare::Binary, 2, 2},
        {"", "", Compare::Binary, 1, 0},
        {"abc", "abcd", Compare::Binary, 1, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(InStr(c.s, c.what, c.cmp, c.start), c.expected) << c.s << " / " << c.what;
}

TEST(Strings, InStrRevFindsTheLastOccurrence) {
    EXPECT_EQ(InStrRev("中.文.txt", "."), 4u);
    EXPECT_EQ(InStrRev("a中B中b", "b", kText), 5u);
    EXPECT_EQ(InStrRev("a中B中b", "B"), 3u);
    EXPECT_EQ(InStrRev("abc", "x"), 0u);
    EXPECT_EQ(InStrRev("", "x"), 0u);
}

TEST(Strings, ReplaceAllOccurrencesWithoutRescanning) {
    struct Case { std::string s, find, with; Compare cmp; std::string expected; };
    const Case cases[] = {
        {"it's 'x'", "'", "''", Compare::Binary, "it''s ''x''"},
        {"aaa", "a", "aa", Compare::Binary, "aaaaaa"},
        {"aaaa", "aa", "a", Compare::Binary, "aa"},
        {"[B]粗[/b]", "[b]", "<b>", kText, "<b>粗[/b]"},
        {"\"LIST.asp?GroupName=%D6%D0\" x", "\"list.asp?groupname=%d6%d0\"", "Y", kText, "Y x"},
        {"abc", "", "x", Compare::Binary, "abc"},
        {"中文中", "中", "", Compare::Binary, "文"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Replace(c.s, c.find, c.with, c.cmp), c.expected) << c.s;
}

TEST(Strings, TrimRemovesBlanksOnly) {
    EXPECT_EQ(Trim("  ab 12  "), "ab 12");
    EXPECT_EQ(LTrim("  a "), "a ");
    EXPECT_EQ(RTrim("  a "), "  a");
    EXPECT_EQ(Trim("\tab\n"), "\tab\n");
    EXPECT_EQ(Trim("\xE3\x80\x80" "中 "), "\xE3\x80\x80" "中");  // ideographic space kept
    EXPECT_EQ(Trim("   "), "");
}

TEST(Strings, LetterCaseOfAsciiAndLatinLettersOnly) {
    EXPECT_EQ(LCase("AbC中文ÀÉ×"), "abc中文àé×");
    EXPECT_EQ(UCase("abc中文àé÷"), "ABC中文ÀÉ÷");
    EXPECT_TRUE(EqualsIgnoreCase("UserName", "username"));
    EXPECT_TRUE(EqualsIgnoreCase("Élan中", "éLAN中"));
    EXPECT_FALSE(EqualsIgnoreCase("abc", "abd"));
    EXPECT_FALSE(EqualsIgnoreCase("abc", "ab"));
}

TEST(Strings, SplitKeepsEmptyPartsAndJoinsBack) {
    using Parts = std::vector<std::string>;
    EXPECT_EQ(Split("a,,b,", ","), (Parts{"a", "", "b", ""}));
    EXPECT_EQ(Split(",", ","), (Parts{"", ""}));
    EXPECT_EQ(Split("1.1.1.1, 2.2.2.2", ","), (Parts{"1.1.1.1", " 2.2.2.2"}));
    EXPECT_EQ(Split("论坛甲||论坛乙", "||"), (Parts{"论坛甲", "论坛乙"}));
    EXPECT_EQ(Split("aXb", "x"), (Parts{"aXb"}));
    EXPECT_EQ(Split("abc", ""), (Parts{"abc"}));
    EXPECT_TRUE(Split("", ",").empty());
    EXPECT_EQ(Join({"a", "", "中"}, ","), "a,,中");
    EXPECT_EQ(Space(3), "   ");
}

TEST(Strings, Utf32RoundTrip) {
    const std::u32string text = U"a中é\U0001F600";
    EXPECT_EQ(ToUtf8(text), "a中é\xF0\x9F\x98\x80");
    EXPECT_EQ(ToUtf32(ToUtf8(text)), text);
    EXPECT_EQ(Len(ToUtf8(text)), 4u);
}
