#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

#include "MarkupTestSupport.h"

namespace {

std::string lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

struct Attribute {
    std::string name, value;
};

// The attributes of every element in the HTML, quotes respected. An
// attribute value holding "<" counts as markup written into a value.
std::vector<Attribute> attributesOf(const std::string& html, std::string& problem) {
    std::vector<Attribute> out;
    for (std::size_t i = html.find('<'); i != std::string::npos; i = html.find('<', i)) {
        std::size_t p = i + 1;
        while (p < html.size() && !std::isspace(static_cast<unsigned char>(html[p])) && html[p] != '>') ++p;
        while (p < html.size() && html[p] != '>') {
            while (p < html.size() && std::isspace(static_cast<unsigned char>(html[p]))) ++p;
            std::size_t nameStart = p;
            while (p < html.size() && html[p] != '=' && html[p] != '>' &&
                   !std::isspace(static_cast<unsigned char>(html[p])))
                ++p;
            Attribute attribute{lower(html.substr(nameStart, p - nameStart)), ""};
            if (p < html.size() && html[p] == '=') {
                ++p;
                char quote = p < html.size() && (html[p] == '"' || html[p] == '\'') ? html[p++] : 0;
                std::size_t valueStart = p;
                while (p < html.size() && (quote ? html[p] != quote
                                                 : html[p] != '>' && !std::isspace(static_cast<unsigned char>(html[p]))))
                    ++p;
                attribute.value = html.substr(valueStart, p - valueStart);
                if (quote && p < html.size()) ++p;
            }
            if (attribute.value.find('<') != std::string::npos) problem = "markup in a value: " + attribute.value;
            if (!attribute.name.empty()) out.push_back(attribute);
        }
        i = p;
    }
    return out;
}

// No event handler, no markup inside a value, no address with a scheme
// other than http, https, ftp or mailto.
void expectHarmless(const std::string& input, const std::string& html) {
    std::string problem;
    for (const Attribute& a : attributesOf(html, problem)) {
        if (a.name.rfind("on", 0) == 0) problem = "event attribute " + a.name;
        bool isAddress = a.name == "href" || a.name == "src" || a.name == "value";
        std::size_t colon = a.value.find(':');
        std::string scheme = lower(a.value.substr(0, colon == std::string::npos ? 0 : colon));
        if (isAddress && colon != std::string::npos && a.value.find('/') > colon && scheme != "http" &&
            scheme != "https" && scheme != "ftp" && scheme != "mailto")
            problem = "address " + a.value;
    }
    EXPECT_EQ(problem, "") << "input: " << input << "\noutput: " << html;
}


}  // namespace

// Text from an earlier rule that lands in an attribute can never hold the
// tag of a later rule.
TEST(UbbCodeHostile, NoMarkupInsideAttributeValues) {
    const Case cases[] = {
        {"[IMG]http://x/[color=onerror=alert(1)//]a[/color][/IMG]",
         R"([IMG]http://x/<font color="onerror=alert(1)//">a</font>[/IMG])"},
        {"http://x/[color=onerror=alert(1)//]a[/color]",
         R"(<A HREF="http://x/" TARGET=_blank>http://x/</A><font color="onerror=alert(1)//">a</font>)"},
        {"[url=http://x/[font=a]b[/font]]t[/url]", R"([url=http://x/<font face="a">b</font>]t[/url])"},
        {"[url=x[size=7]a[/size]]t[/url]", nullptr},
        {"[email=a@b[#onmouseover=x]c[/#]]m[/email]", nullptr},
        {"[w]http://x/[color=a]b[/color][/w]", nullptr},
        {"[f]http://x/[#ff]b[/#][/f]", nullptr},
        {"[url]http://x/\"onmouseover=alert(1)[/url]", "[url]http://x/\"onmouseover=alert(1)[/url]"},
        {"[IMG]a\"onerror=\"alert(1)[/IMG]", nullptr},
        {"[color=red\"onmouseover=\"x]a[/color]", nullptr},
        {"[url=http://x/]a[/url][IMG]http://y/[/url][/IMG]", nullptr},
    };
    for (const auto& c : cases) {
        std::string html = ubb(c.input);
        if (c.expected) {
            EXPECT_EQ(html, c.expected);
        }
        expectHarmless(c.input, html);
    }
}

TEST(UbbCodeHostile, OnlyWebSchemesBecomeAddresses) {
    const char* refused[] = {
        "[IMG]javascript:alert(1)[/IMG]",
        "[IMG]JavaScript:alert(1)[/IMG]",
        "[IMG]\x01javascript:alert(1)[/IMG]",
        "[IMG]java\x01script:alert(1)[/IMG]",
        "[IMG]jav&#x61;script:alert(1)[/IMG]",
        "[IMG]javascript&#58;alert(1)[/IMG]",
        "[IMG]javascript&colon;alert(1)[/IMG]",
        "[IMG]&#0106avascript:alert(1)[/IMG]",
        "[IMG]vbscript:msgbox(1)[/IMG]",
        "[IMG]data:image/gif;base64,R0lGOD[/IMG]",
        "[url]javascript:alert(1)[/url]",
        "[url=javascript:alert(1)]x[/url]",
        "[URL=VBScript:x]y[/URL]",
        "[F W=1 H=1]javascript:alert(1)[/F]",
    };
    for (const char* input : refused) EXPECT_EQ(ubb(input), input);

    const Case allowed[] = {
        {"[IMG]HTTPS://h/a.gif[/IMG]", R"( <IMG SRC="HTTPS://h/a.gif"> )"},
        {"[IMG]/pics/a.gif?x=1&amp;y=2[/IMG]", R"( <IMG SRC="/pics/a.gif?x=1&amp;y=2"> )"},
        {"[url]www.h.com:8080/x[/url]", R"(<A HREF="http://www.h.com:8080/x" TARGET=_blank>www.h.com:8080/x</A>)"},
    };
    for (const auto& c : allowed) EXPECT_EQ(ubb(c.input), c.expected);
}

TEST(UbbCodeHostile, SmileysSpareMarkupAndAddresses) {
    const char* kept[] = {
        "[f]http://h/m.swf[/f]",       // class identifier "clsid:D27..."
        "[email=dave@x.com]Dave[/email]",
        "[email]dop@x.com[/email]",
        "http://h/:p/:o/:D",
        "[url=http://h/:D]h[/url]",
    };
    for (const char* input : kept) EXPECT_EQ(ubbAndSmiles(input), ubb(input)) << input;
    EXPECT_EQ(ubbAndSmiles(":) [url]h/:D[/url] :)"),
              R"(<IMG SRC="images/smile.gif"> <A HREF="http://h/:D" TARGET=_blank>h/:D</A> <IMG SRC="images/smile.gif">)");
}

TEST(UbbCodeHostile, QuotesAnywhereInLongPosts) {
    std::string longText;
    for (int i = 0; i < 40000; ++i) longText += "好";
    EXPECT_EQ(ubb(longText + "[quote]x[/quote]"), longText + " <BLOCKQUOTE>引用:<HR>x<HR></BLOCKQUOTE> ");

    std::string nested, expected;
    for (int i = 0; i < 300; ++i) nested += "[quote]" + std::to_string(i);
    for (int i = 0; i < 300; ++i) nested += "[/quote]";
    for (int i = 0; i < 300; ++i) expected += " <BLOCKQUOTE>引用:<HR>" + std::to_string(i);
    for (int i = 0; i < 300; ++i) expected += "<HR></BLOCKQUOTE> ";
    EXPECT_EQ(ubb(nested), expected);

    EXPECT_EQ(ubb("[quote]a[quote][/quote]b[/quote]"), "[quote]a[quote][/quote]b[/quote]");
}

// Bytes that are not UTF-8 read as U+FFFD (shown as "&#65533;" on the page,
// as the byte itself was), and the patterns around them still apply.
TEST(UbbCodeHostile, InvalidUtf8IsNoFailure) {
    EXPECT_EQ(ubb("[b]x[/b] \xFF\r\nhttp://h/p"), "<B>x</B> \uFFFD<br><A HREF=\"http://h/p\" TARGET=_blank>http://h/p</A>");
    EXPECT_EQ(ubb("[b]\xE4\xB8[/b][quote]\xC0[/quote]"), "<B>\uFFFD\uFFFD</B> <BLOCKQUOTE>引用:<HR>\uFFFD<HR></BLOCKQUOTE> ");
    EXPECT_EQ(smiles("\xC3:)"), "\xC3<IMG SRC=\"images/smile.gif\">");
}

// Posts built to make the converter work hard convert as ordinary ones do.
// Each case once took a pattern or quote step that went over the rest of
// the text from every tag (or blank) and so ran into the pattern engine's
// work limit, leaving the whole step undone.
TEST(UbbCodeHostile, LongRunsConvertLikeShortOnes) {
    const auto times = [](std::string_view piece, int n) {
        std::string out;
        for (int i = 0; i < n; ++i) out += piece;
        return out;
    };
    const struct {
        std::string input, expected;
    } cases[] = {
        {"[b]x[/b]" + times("[b]", 20000), "<B>x</B>" + times("[b]", 20000)},
        {"[url=http://h/]x[/url]" + times("[url=http://h/]", 4000),
         "<A HREF=\"http://h/\" TARGET=_blank>x</A>" + times("[url=http://h/]", 4000)},
        {times(" ", 30000) + "x http://h/", times("&nbsp;&nbsp;", 15000) + "x <A HREF=\"http://h/\" TARGET=_blank>http://h/</A>"},
        {"[email=" + times("a@", 20000) + " [/email][email=a@b]m[/email]",
         "[email=" + times("a@", 20000) + " [/email]<A HREF=\"mailto:a@b\">m</A>"},
        {times("[", 30000) + "x", times("[", 30000) + "x"},
    };
    for (const auto& c : cases) EXPECT_EQ(ubb(c.input), c.expected) << c.input.substr(0, 40);
}

// Quotes nested thousands deep convert in one pass, innermost first; an
// empty pair or an unclosed open still leaves itself and the opens before
// it as text.
TEST(UbbCodeHostile, DeeplyNestedQuotes) {
    std::string nested, expected;
    for (int i = 0; i < 5000; ++i) nested += "[quote]q";
    for (int i = 0; i < 5000; ++i) nested += "[/QUOTE]";
    for (int i = 0; i < 5000; ++i) expected += " <BLOCKQUOTE>引用:<HR>q";
    for (int i = 0; i < 5000; ++i) expected += "<HR></BLOCKQUOTE> ";
    EXPECT_EQ(ubb(nested), expected);

    const Case cases[] = {
        {"[quote]a[quote]b[/quote][/quote][/quote]x",
         " <BLOCKQUOTE>引用:<HR>a <BLOCKQUOTE>引用:<HR>b<HR></BLOCKQUOTE> <HR></BLOCKQUOTE> [/quote]x"},
        {"[quote]a[/quote][quote][/quote][quote]b[/quote]",
         "[quote]a[/quote][quote][/quote] <BLOCKQUOTE>引用:<HR>b<HR></BLOCKQUOTE> "},
        {"[quote]a[/quote][quote]b", "[quote]a[/quote][quote]b"},
        {"[quote][quote]a[/quote]", "[quote] <BLOCKQUOTE>引用:<HR>a<HR></BLOCKQUOTE> "},
    };
    for (const auto& c : cases) EXPECT_EQ(ubb(c.input), c.expected) << c.input;
}
