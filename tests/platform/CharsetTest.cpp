#include <gtest/gtest.h>

#include <optional>
#include <set>
#include <thread>

#include "platform/Charset.h"
#include "platform/Request.h"

using namespace platform;

TEST(Charset, GbkRoundTripOfChineseText) {
    const std::string text = "欢迎光临 <b>论坛</b>，abc！";
    const std::string gbk = Utf8ToGbk(text);
    EXPECT_EQ(Utf8ToGbk("中文"), "\xD6\xD0\xCE\xC4");
    EXPECT_EQ(GbkToUtf8(gbk), text);
    EXPECT_EQ(Utf8ToGbk("plain ascii"), "plain ascii");
    // Long markup runs between Chinese text, short ones inside it.
    const std::string markup(20, '<');
    EXPECT_EQ(Utf8ToGbk(markup + "中 a文" + markup + "中\xF0\x9F\x98\x80" + markup),
              markup + "\xD6\xD0 a\xCE\xC4" + markup + "\xD6\xD0&#128512;" + markup);
}

TEST(Charset, CharacterWithoutGbkFormBecomesNumericReference) {
    EXPECT_EQ(Utf8ToGbk("a\xF0\x9F\x98\x80中"), "a&#128512;\xD6\xD0");
    EXPECT_EQ(Utf8ToGbk("\xEA\xB0\x80"), "&#44032;");  // Hangul syllable
    EXPECT_EQ(Utf8ToGbk("中\xFF"), "\xD6\xD0&#65533;");  // malformed UTF-8
}

TEST(Charset, InvalidGbkBecomesReplacementCharacter) {
    EXPECT_EQ(GbkToUtf8("\xD6\xD0\xFF" "a"), "中\xEF\xBF\xBD" "a");
    EXPECT_EQ(GbkToUtf8("\xD6 a"), "\xEF\xBF\xBD a");  // ASCII after a lone lead survives
    EXPECT_EQ(GbkToUtf8("a\xD6"), "a\xEF\xBF\xBD");       // cut at the end
}

TEST(Charset, RepresentableInGbk) {
    EXPECT_TRUE(IsRepresentableInGbk(U'a'));
    EXPECT_TRUE(IsRepresentableInGbk(U'中'));
    EXPECT_TRUE(IsRepresentableInGbk(U'，'));
    EXPECT_FALSE(IsRepresentableInGbk(U'\U0001F600'));
    EXPECT_FALSE(IsRepresentableInGbk(U'\uAC00'));
}

TEST(Charset, HtmlEncodeTouchesOnlyFourCharacters) {
    EXPECT_EQ(HtmlEncode("<a href=\"x\">R&D</a> '中文'"),
              "&lt;a href=&quot;x&quot;&gt;R&amp;D&lt;/a&gt; '中文'");
}

TEST(Charset, UrlEncodeAndDecode) {
    struct Case { std::string text, encoded; };
    const Case cases[] = {
        {"中文", "%D6%D0%CE%C4"},
        {"a b&c", "a+b%26c"},
        {"Fa_Q-1.", "Fa%5FQ%2D1%2E"},
        {"论坛 A+B", "%C2%DB%CC%B3+A%2BB"},
        {"", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(UrlEncode(c.text), c.encoded);
        EXPECT_EQ(UrlDecode(c.encoded), c.text);
    }
}

TEST(Charset, UrlDecodeKeepsMalformedEscapesAndLowerCaseHex) {
    EXPECT_EQ(UrlDecode("%d6%d0"), "中");
    EXPECT_EQ(UrlDecode("100%"), "100%");
    EXPECT_EQ(UrlDecode("%zz%4"), "%zz%4");
    EXPECT_EQ(UrlDecode("%D6%D0中"), "中中");  // unescaped text is already UTF-8
    EXPECT_EQ(UrlDecode("\xFF\xE4\xB8" "a\xED\xA0\x80"), "\uFFFD\uFFFD\uFFFDa\uFFFD\uFFFD\uFFFD");
}

// Control characters but tab, line feed and carriage return are dropped,
// escaped or not: a NUL would end the text for SQLite's LIKE and index.
TEST(Charset, UrlDecodeDropsControlCharacters) {
    using namespace std::string_literals;
    EXPECT_EQ(UrlDecode("backup%00"), "backup");
    EXPECT_EQ(UrlDecode("a%00%01%08b%0B%0C%0E%1F%7F+c"), "ab c");
    EXPECT_EQ(UrlDecode("%09%0A%0D%D6%D0"), "\t\n\r中");
    EXPECT_EQ(UrlDecode("x\0y\x01z\tw"s), "xyz\tw");
    EXPECT_EQ(UrlDecode("\xC2\x80\xC2\x9F\xC2\xA0"), "\xC2\xA0");  // C1 controls go, a no-break space stays
}

TEST(Charset, UrlDecodeUtf8ReadsOnlyValidUtf8BeyondAscii) {
    struct Case { std::string encoded; std::optional<std::string> text; };
    const Case cases[] = {
        {"%E4%B8%AD%E6%96%87", "中文"},
        {"a+%E4%B8%ADb", "a 中b"},
        {"%e4%b8%ad", "中"},
        {"中", "中"},                   // unescaped text is already UTF-8
        {"%C2%A1", "\u00A1"},           // also the GBK bytes of a Chinese character
        {"%D6%D0%CE%C4", std::nullopt},  // GBK, not UTF-8
        {"%E4%B8", std::nullopt},        // cut short
        {"abc%41+1", std::nullopt},      // nothing beyond ASCII
        {"", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(UrlDecodeUtf8(c.encoded), c.text) << c.encoded;
}

// A name typed into the address bar comes as UTF-8, the board's own links
// send GBK: the GBK reading is tried first.
TEST(Charset, RequestTypedNameTriesTheGbkReadingFirst) {
    const std::set<std::string> names = {"中文", "\u00A1", "隆"};
    const auto known = [&](const std::string& name) { return names.count(name) > 0; };
    struct Case { std::string query, name; };
    const Case cases[] = {
        {"x=1&Name=%D6%D0%CE%C4", "中文"},                // GBK
        {"name=%E4%B8%AD%E6%96%87&name=%D6%D0", "中文"},  // UTF-8, the first value
        {"Name=%C2%A1", "隆"},                            // both readings name something
        {"Name=%E4%B8%AD", "涓\uFFFD"},                   // neither does: as read
        {"Other=%E4%B8%AD%E6%96%87", ""},
    };
    for (const auto& c : cases) {
        platform::RawRequest raw;
        raw.queryString = c.query;
        const platform::Request request(std::move(raw));
        EXPECT_EQ(request.TypedName("name", request.QueryString("name").str(), known), c.name) << c.query;
    }
}

TEST(Charset, ConvertsOnSeveralThreadsAtOnce) {
    auto work = [] {
        for (int i = 0; i < 200; ++i)
            if (UrlDecode(UrlEncode("论坛 甲")) != "论坛 甲") return false;
        return true;
    };
    bool ok[4] = {};
    std::thread threads[4];
    for (int t = 0; t < 4; ++t) threads[t] = std::thread([&ok, &work, t] { ok[t] = work(); });
    for (auto& th : threads) th.join();
    for (bool b : ok) EXPECT_TRUE(b);
}
