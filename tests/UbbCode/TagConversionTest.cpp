#include <gtest/gtest.h>

#include <string>

#include "MarkupTestSupport.h"

namespace {


const char kFlash500[] =
    R"(<object classid="clsid:D27CDB6E-AE6D-11cf-96B8-444553540000" codebase=")"
    R"(/pub/shockwave/cabs/flash/swflash.cab#version=4,0,2,0" )"
    R"(width=500 height=500><param name=movie value="http://h/m.swf"><param name=quality value=high>)"
    R"(<embed src="http://h/m.swf" quality=high pluginspage=")"
    R"(/shockwave/download/index.cgi?P1_Prod_Version=ShockwaveFlash" )"
    R"(type="application/x-shockwave-flash" width=500 height=500></embed></object>)";

std::string flashSized(const std::string& movie) {
    return R"(<object classid="clsid:D27CDB6E-AE6D-11cf-96B8-444553540000" codebase=")"
           R"(/download/swflash.cab#version=4,0,2,0" )"
           R"(width="200" height="100"><param name=movie value=")" + movie +
           R"("><param name=quality value=high><embed src=")" + movie +
           R"(" quality=high pluginspage=")"
           R"(/shockwave/download/index.cgi?P1_Prod_Version=ShockwaveFlash" )"
           R"(type="application/x-shockwave-flash" width="200" height="100"></embed></object>)";
}

}  // namespace

TEST(UbbCodeTags, EachRuleFamily) {
    const Case cases[] = {
        {"[url]http://h/p[/url]", R"(<A HREF="http://h/p" TARGET=_blank>http://h/p</A>)"},
        {"[URL]https://h/p[/URL]", R"(<A HREF="https://h/p" TARGET=_blank>https://h/p</A>)"},
        {"[url]host/page[/url]", R"(<A HREF="http://host/page" TARGET=_blank>host/page</A>)"},
        {"[url=ftp://host]x[/url]", R"(<A HREF="ftp://host" TARGET=_blank>x</A>)"},
        {"[url=host/p]x y[/url]", R"(<A HREF="http://host/p" TARGET=_blank>x y</A>)"},
        {"[download=http://h/f.zip]f[/download]",
         R"(<img src=images/download.gif>&nbsp;<A HREF="http://h/f.zip" >f</A>)"},
        {"[email=a@b.c]me[/email]", R"(<A HREF="mailto:a@b.c">me</A>)"},
        {"[EMAIL]a@b.c[/EMAIL]", R"(<A HREF="mailto:a@b.c">a@b.c</A>)"},
        {"[code]x = 1[/code]", "<pre class=CodeSamp>x = 1</pre>"},
        {"[img]pic/a.gif[/img]", R"( <IMG SRC="pic/a.gif"> )"},
        {"[i]a[/i][u]b[/u][b]c[/b]", "<I>a</I><u>b</u><B>c</B>"},
        {"[list][*]a[*]b[/list]", "<UL TYPE=SQUARE><LI>a<LI>b</UL>"},
        {"[list=1][*]a[*]b[/list]", "<OL TYPE=1><LI>a<LI>b</OL>"},
        {"[list=a][*]x[/list]", "<OL TYPE=a><LI>x</OL>"},
        {"[hr]", "<hr>"},
        {"[color=red]r[/color][font=宋体]f[/font][size=4]s[/size]",
         R"(<font color="red">r</font><font face="宋体">f</font><font size="4">s</font>)"},
        {"[fly]走[/fly]", "<marquee directio=right behavior=scroll scrollamount=10 scrolldelay=200>走</marquee>"},
        {"[#ff0000]t[/#]", R"(<font color="#ff0000">t</font>)"},
        {"[h1]1[/h1][h2]2[/h2][h3]3[/h3][h4]4[/h4][h5]5[/h5][h6]6[/h6]",
         "<h1>1</h1><h2>2</h2><h3>3</h3><h4>4</h4><h5>5</h5><h6>6</h6>"},
        {"[sup]2[/sup][sub]i[/sub][pre]p[/pre]", "<sup>2</sup><sub>i</sub><pre>p</pre>"},
        {"[center]c[/center][right]r[/right]", "<center>c</center><div align=right>r</div>"},
        {"[w]http://h/p[/w]",
         R"(<IFRAME FRAMEBORDER=1 ALIGN=CENTER width=100% HEIGHT=400 SCROLLING=YES SRC="http://h/p"></iframe>)"
         R"(<br>页面：<A HREF="http://h/p" target=_blank>点这儿参观</A>)"},
        {"[f]http://h/m.swf[/f]", kFlash500},
    };
    for (const auto& c : cases) EXPECT_EQ(ubb(c.input), c.expected) << c.input;
    EXPECT_EQ(ubb("[F W=200 H=100]http://h/m.swf[/F]"), flashSized("http://h/m.swf"));
    EXPECT_EQ(ubb("[f w=200 h=100]h/m.swf[/f]"), flashSized("http://h/m.swf"));
}

TEST(UbbCodeTags, BareLinks) {
    const Case cases[] = {
        {"see http://host/page now", R"(see <A HREF="http://host/page" TARGET=_blank>http://host/page</A> now)"},
        {"www.host.com/a", R"(<A HREF="http://www.host.com/a" TARGET=_blank>www.host.com/a</A>)"},
        {"ftp://host/f", R"(<A HREF="ftp://host/f" TARGET=_blank>ftp://host/f</A>)"},
        {"a\r\nhttp://h/p", R"(a<br><A HREF="http://h/p" TARGET=_blank>http://h/p</A>)"},
        {"https://host/x", "https://host/x"},
        {"x=http://host", "x=http://host"},
    };
    for (const auto& c : cases) EXPECT_EQ(ubb(c.input), c.expected) << c.input;
}

TEST(UbbCodeTags, NestingCaseAndLineBreaks) {
    const Case cases[] = {
        {"[B]x[/b]", "<B>x</B>"},
        {"[b]a[b]c[/b]d[/b]", "<B>a[b]c</B>d[/b]"},
        {"[b][i]x[/i][/b]", "<B><I>x</I></B>"},
        {"a\r\n[b]x\r\ny[/b]", "a<br><B>x<br>y</B>"},
        {"[b]", "[b]"},
        {"a   b", "a&nbsp;&nbsp; b"},
        {"a\tb", "a&nbsp;&nbsp;&nbsp;&nbsp;b"},
    };
    for (const auto& c : cases) EXPECT_EQ(ubb(c.input), c.expected) << c.input;
}

TEST(UbbCodeTags, Quotes) {
    const Case cases[] = {
        {"[quote]a[/quote]", " <BLOCKQUOTE>引用:<HR>a<HR></BLOCKQUOTE> "},
        {"[quote]a[quote]b[/quote]c[/quote]",
         " <BLOCKQUOTE>引用:<HR>a <BLOCKQUOTE>引用:<HR>b<HR></BLOCKQUOTE> c<HR></BLOCKQUOTE> "},
        {"[QUOTE]a[/quote]", " <BLOCKQUOTE>引用:<HR>a<HR></BLOCKQUOTE> "},
        // Pairs that differ only in letter case keep their own text.
        {"[quote]a[/quote][QUOTE]A[/QUOTE]",
         " <BLOCKQUOTE>引用:<HR>a<HR></BLOCKQUOTE>&nbsp;&nbsp;<BLOCKQUOTE>引用:<HR>A<HR></BLOCKQUOTE> "},
        {"[quote]x", "[quote]x"},
        {"[quote]a[/quote][quote]x", "[quote]a[/quote][quote]x"},
        {"[quote][/quote]", "[quote][/quote]"},  // an empty pair ends the passes
    };
    for (const auto& c : cases) EXPECT_EQ(ubb(c.input), c.expected) << c.input;
}
