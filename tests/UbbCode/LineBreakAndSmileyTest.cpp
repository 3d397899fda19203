#include <gtest/gtest.h>

#include <string>

#include "MarkupTestSupport.h"
#include "platform/Error.h"

using platform::Variant;

TEST(UbbCodeReturns, ConvertReturns) {
    const Case cases[] = {
        {"a\r\nb", "a<br>b"},
        {"a\r\n\r\nb", "a<P>b"},
        {"a\r\n\r\n\r\nb", "a<P><br>b"},
        {"a\r\n\r\n\r\n\r\nb", "a<P>b"},
        {"a\n\nb", "a<br><br>b"},
        {"a\n\n\n\nb", "a<BR>b"},
        {"a\n\n\n\n\nb", "a<BR><br>b"},
        {"<!--", "< !--"},
    };
    markup::UbbCode converter;
    for (const auto& c : cases) {
        Variant content(c.input);
        EXPECT_EQ(converter.ConvertReturns(content), c.expected) << c.input;
        EXPECT_EQ(content.str(), c.expected);
    }
}

TEST(UbbCodeReturns, LimitReturns) {
    const Case cases[] = {
        {"a\n\n\nb", "a\nb"},
        {"a\r\r\rb", "a\rb"},
        {"a\r\n\r\n\r\nb", "a\r\n\r\n\r\nb"},  // browser line breaks pass unchanged
    };
    markup::UbbCode converter;
    for (const auto& c : cases) {
        Variant content(c.input);
        EXPECT_EQ(converter.LimitReturns(content), c.expected) << c.input;
    }
}

TEST(UbbCodeSmiles, EverySmiley) {
    const Case cases[] = {
        {"hi :)", R"(hi <IMG SRC="images/smile.gif">)"},
        {":(", R"(<IMG SRC="images/frown.gif">)"},
        {":o:O", R"(<IMG SRC="images/redface.gif"><IMG SRC="images/redface.gif">)"},
        {":D:d", R"(<IMG SRC="images/biggrin.gif"><IMG SRC="images/biggrin.gif">)"},
        {";)", R"(<IMG SRC="images/wink.gif">)"},
        {":P", R"(<IMG SRC="images/tongue.gif">)"},
        {":cool: :COOL:", R"(<IMG SRC="images/cool.gif"> <IMG SRC="images/cool.gif">)"},
        {":rolleyes:", R"(<IMG SRC="images/rolleyes.gif">)"},
        {":mad:", R"(<IMG SRC="images/mad.gif">)"},
        {":eek:", R"(<IMG SRC="images/eek.gif">)"},
        {":confused:", R"(<IMG SRC="images/confused.gif">)"},
        {"时间 10:30", "时间 10:30"},
    };
    for (const auto& c : cases) EXPECT_EQ(smiles(c.input), c.expected) << c.input;
}

TEST(UbbCodeClass, ImagesUrl) {
    markup::UbbCode converter;
    EXPECT_EQ(converter.ImagesURL(), "images");
    const Case cases[] = {{"http://h/img/", "http://h/img"}, {"pics//", "pics/"}, {"", "images"}, {"/s", "/s"}};
    for (const auto& c : cases) {
        converter.ImagesURL(c.input);
        EXPECT_EQ(converter.ImagesURL(), c.expected);
    }
    converter.ImagesURL("/pics/");
    Variant content(":) [download=http://h/f]f[/download]");
    converter.UbbCode(content);
    EXPECT_EQ(converter.Smiles(content),
              R"(<IMG SRC="/pics/smile.gif"> <img src=/pics/download.gif>&nbsp;<A HREF="http://h/f" >f</A>)");
}

TEST(UbbCodeClass, ContentIsRewrittenInPlace) {
    markup::UbbCode converter;
    Variant content("[b]x[/b]");
    EXPECT_EQ(converter.UbbCode(content), "<B>x</B>");
    EXPECT_EQ(content, Variant("<B>x</B>"));
    Variant number(5);
    EXPECT_EQ(converter.UbbCode(number), "5");
    EXPECT_TRUE(number.isString());
}

TEST(UbbCodeClass, NullAndEmpty) {
    markup::UbbCode converter;
    for (Variant content : {Variant::null(), Variant(), Variant("")}) {
        Variant before = content;
        EXPECT_EQ(converter.UbbCode(content), "");
        EXPECT_EQ(converter.Smiles(content), "");
        EXPECT_EQ(content.type(), before.type());
    }
    Variant empty;
    EXPECT_EQ(converter.ConvertReturns(empty), "");
    for (auto operation : {&markup::UbbCode::ConvertReturns, &markup::UbbCode::LimitReturns}) {
        Variant null = Variant::null();
        try {
            (converter.*operation)(null);
            ADD_FAILURE() << "Null accepted";
        } catch (const platform::RuntimeError& e) {
            EXPECT_EQ(e.number(), platform::kErrInvalidUseOfNull);
            EXPECT_EQ(e.source(), platform::kMarkupSource);
        }
    }
}
