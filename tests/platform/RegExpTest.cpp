#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "platform/Error.h"
#include "platform/RegExp.h"

using platform::RegExp;

namespace {

struct ReplaceCase {
    const char* pattern;
    const char* subject;
    const char* replacement;
    const char* expected;
    bool global = true;
    bool ignoreCase = false;
    bool multiline = false;
};

std::string replace(const ReplaceCase& c) {
    RegExp re;
    re.Pattern(c.pattern);
    re.Global(c.global);
    re.IgnoreCase(c.ignoreCase);
    re.Multiline(c.multiline);
    return re.Replace(c.subject, c.replacement);
}

}  // namespace

TEST(RegExp, ReplaceExpandsGroupReferences) {
    const ReplaceCase cases[] = {
        {"(a)(b)", "ab", "$2$1", "ba"},
        {"(a)(b)", "ab", "[$&]", "[ab]"},
        {"(a)(b)", "ab", "$$1", "$1"},
        {"(a)(b)", "ab", "$3$0", "$3$0"},          // no such group: as written
        {"(a)(b)", "ab", "$10", "a0"},             // "$1" then "0"
        {"(a)(b)(c)(d)(e)(f)(g)(h)(i)(j)", "abcdefghij", "$10$1", "ja"},
        {"(a)|(b)", "b", "[$1]", "[]"},             // unset group
        {"a", "a", "$", "$"},
    };
    for (const auto& c : cases) EXPECT_EQ(replace(c), c.expected) << c.pattern << " / " << c.replacement;
}

TEST(RegExp, MatchRulesForUtf8Text) {
    const ReplaceCase cases[] = {
        {"a", "aAa", "x", "xAx"},
        {"a", "aAa", "x", "xxx", true, true},
        {"a", "aAa", "x", "xAa", false},
        {"a.b", "a\nb a-b", "x", "a\nb x"},             // "." stops at LF
        {"^a", "aaa", "x", "xaa"},                      // "^" only at the start ...
        {"^a", "a\na", "x", "x\nx", true, false, true}, // ... unless Multiline
        {"(^|\\s+)(w)", "w w", "$1<$2>", "<w> <w>"},
        {"a$", "a\n", "x", "a\n"},                      // "$" only at the very end
        {"\\s", "a\tb\xE3\x80\x80" "c\xC2\xA0" "d", "_", "a_b\xE3\x80\x80" "c\xC2\xA0" "d"},  // ASCII blanks only
        {"\\S+", "中文 字", "[$&]", "[中文] [字]"},
        {"^.$", "中", "x", "x"},                        // one character, not one byte
        {"x*", "abc", "-", "-a-b-c-"},                  // empty matches step on
        {"x*", "中a", "-", "-中-a-"},                    // by whole characters
        {"x*", "\xE4" "ab\xFF", "-", "-\xE4-a-b-\xFF-"},  // a bad byte is one of its own
        {"x*", "\xF0\x9F" "a", "-", "-\xF0\x9F-a-"},  // (no match starts inside bad bytes)
        {"b", "a\xFF" "b", "x", "a\xFF" "x"},           // bad UTF-8 is no failure
        {"\\S+", "中\xFF" "文", "[$&]", "[中]\xFF[文]"},  // and matches nothing
    };
    for (const auto& c : cases) EXPECT_EQ(replace(c), c.expected) << c.pattern << " on " << c.subject;
}

TEST(RegExp, TestAndCallbackReplace) {
    RegExp re;
    re.Global(true);
    re.Pattern("\\[.+?\\]");
    EXPECT_TRUE(re.Test("a [b] c"));
    EXPECT_FALSE(re.Test("a [] c"));
    re.Pattern("<(\\w+)>");
    std::string out = re.Replace("<a><bb><c>", [](const platform::RegExpMatch& m) {
        return m.group(1).size() == 2 ? std::string(m.value()) : m.expand("[$1]");
    });
    EXPECT_EQ(out, "[a]<bb>[c]");
}

TEST(RegExp, LimitLeavesTextUnchanged) {
    std::string subject(40, 'a');
    subject += 'b';
    RegExp re;
    re.Global(true);
    re.Pattern("(a+)+$");
    EXPECT_FALSE(re.Test(subject));
    EXPECT_EQ(re.Replace(subject, "x"), subject);
}

TEST(RegExp, BadPatternIsRuntimeError) {
    RegExp re;
    re.Pattern("(a");
    try {
        re.Test("a");
        FAIL() << "no error";
    } catch (const platform::RuntimeError& e) {
        EXPECT_EQ(e.number(), 5017);
    }
}

TEST(RegExp, SharedPatternsAcrossThreads) {
    std::vector<std::thread> threads;
    std::vector<std::string> results(4);
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([t, &results] {
            RegExp re;
            re.Global(true);
            re.IgnoreCase(true);
            std::string text = "[B]x[/b] " + std::to_string(t);
            for (int i = 0; i < 200; ++i) {
                re.Pattern("(\\[b\\])(.+?)(\\[\\/b\\])");
                results[t] = re.Replace(text, "<B>$2</B>");
                re.Pattern("\\d");
                results[t] = re.Replace(results[t], "#$&");
            }
        });
    }
    for (auto& thread : threads) thread.join();
    for (int t = 0; t < 4; ++t) EXPECT_EQ(results[t], "<B>x</B> #" + std::to_string(t));
}
