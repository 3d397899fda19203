#include "UbbCode/ConversionRules.h"

namespace markup {

namespace {

// Every "\S" of a link or tag rule captures text that lands in an attribute
// value. Such text must not hold quotes, angle brackets, blanks or square
// brackets: otherwise a later rule could write markup into the value.
constexpr std::string_view kValueChar = R"([^\s"<>\[\]])";

std::string valuesSafe(std::string_view pattern) {
    std::string out;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern.compare(i, 2, R"(\S)") == 0) {
            out += kValueChar;
            ++i;
        } else {
            out += pattern[i];
        }
    }
    return out;
}

std::vector<Rule> makeRules(std::initializer_list<Rule> rules) {
    std::vector<Rule> out(rules);
    for (Rule& rule : out) rule.pattern = valuesSafe(rule.pattern);
    return out;
}

std::string heading(char digit) {
    return std::string("(\\[h") + digit + "\\])(.+?)(\\[\\/h" + digit + "\\])";
}

// Pieces of the Flash movie object. The player downloads are addressed on
// this board's own site, where the operator may place them.
constexpr std::string_view kFlashObjectStart =
    R"(<object classid="clsid:D27CDB6E-AE6D-11cf-96B8-444553540000" codebase=")";
constexpr std::string_view kFlashCab = "/pub/shockwave/cabs/flash/swflash.cab";
constexpr std::string_view kFlashCabSecondSite = "/download/swflash.cab";
constexpr std::string_view kFlashPluginPage =
    "/shockwave/download/index.cgi?P1_Prod_Version=ShockwaveFlash";

std::string flashObject(std::string_view cab, std::string_view size, std::string_view movie) {
    std::string object(kFlashObjectStart);
    object += cab;
    object += "#version=4,0,2,0\" ";
    object += size;
    object += "><param name=movie value=\"";
    object += movie;
    object += "\"><param name=quality value=high><embed src=\"";
    object += movie;
    object += "\" quality=high pluginspage=\"";
    object += kFlashPluginPage;
    object += "\" type=\"application/x-shockwave-flash\" ";
    object += size;
    object += "></embed></object>";
    return object;
}

}  // namespace

// A run of blanks before an address is tried from its first blank only,
// not again from each blank inside it.
const std::vector<Rule>& bareLinkRules() {
    static const std::vector<Rule> rules = makeRules({
        {"http://", R"((^|(?<!\s)\s+)(http://\S+))", R"($1<A HREF="$2" TARGET=_blank>$2</A>)"},
        {"ftp://", R"((^|(?<!\s)\s+)(ftp://\S+))", R"($1<A HREF="$2" TARGET=_blank>$2</A>)"},
        {"www.", R"((^|(?<!\s)\s+)(www\.\S+))", R"($1<A HREF="http://$2" TARGET=_blank>$2</A>)"},
    });
    return rules;
}

const std::vector<Rule>& limitReturnRules() {
    static const std::vector<Rule> rules = {
        {"\n\n", R"(\n{2,})", "\n"},
        {"\n\r\n\n\r\n", R"((\n\r\n){2,})", "\n\r\n"},
        {"\r\r", R"(\r{2,})", "\r"},
    };
    return rules;
}

const std::vector<Rule>& breakRunRules() {
    static const std::vector<Rule> rules = {
        {"<P><P>", R"((<P>){2,})", "<P>"},
        {"<BR><BR><BR><BR>", R"((<BR><BR>){2,})", "<BR>"},
    };
    return rules;
}

const std::vector<Rule>& tagRulesBeforeQuotes() {
    static const std::vector<Rule> rules = makeRules({
        {"[URL]", R"((\[URL\])(http|https|ftp)(:\/\/\S+?)(\[\/URL\]))",
         R"(<A HREF="$2$3" TARGET=_blank>$2$3</A>)", 0, "[/URL]"},
        {"[URL]", R"((\[URL\])(\S+?)(\[\/URL\]))", R"(<A HREF="http://$2" TARGET=_blank>$2</A>)", 2, "[/URL]"},
        {"[URL=", R"((\[URL=)(http|https|ftp)(:\/\/\S+?)(\])(.+?)(\[\/URL\]))",
         R"(<A HREF="$2$3" TARGET=_blank>$5</A>)", 0, "[/URL]"},
        {"[download=", R"((\[download=)(http|https|ftp)(:\/\/\S+?)(\])(.+?)(\[\/download\]))",
         R"(<img src={ImagesURL}/download.gif>&nbsp;<A HREF="$2$3" >$5</A>)", 0, "[/download]"},
        {"[URL=", R"((\[URL=)(\S+?)(\])(.+?)(\[\/URL\]))", R"(<A HREF="http://$2" TARGET=_blank>$4</A>)", 2,
         "[/URL]"},
        // The address is the whole run up to "]" or the close, with an "@"
        // inside it; taken at once, not tried split by split at every "@".
        {"[EMAIL=", R"((\[EMAIL=)((?=\S+\@\S)(?>\S+))(\])(.+?)(\[\/EMAIL\]))", R"(<A HREF="mailto:$2">$4</A>)",
         0, "[/EMAIL]"},
        {"[EMAIL]", R"((\[EMAIL\])((?=\S+\@\S)(?>\S+))(\[\/EMAIL\]))", R"(<A HREF="mailto:$2">$2</A>)", 0,
         "[/EMAIL]"},
        {"[code]", R"((\[code\])(.+?)(\[\/code\]))", "<pre class=CodeSamp>$2</pre>", 0, "[/code]"},
        {"[IMG]", R"((\[IMG\])(\S+?)(\[\/IMG\]))", R"( <IMG SRC="$2"> )", 2, "[/IMG]"},
    });
    return rules;
}

const std::vector<Rule>& tagRulesAfterQuotes() {
    static const std::vector<Rule> rules = makeRules({
        {"[i]", R"((\[i\])(.+?)(\[\/i\]))", "<I>$2</I>", 0, "[/i]"},
        {"[u]", R"((\[u\])(.+?)(\[\/u\]))", "<u>$2</u>", 0, "[/u]"},
        {"[b]", R"((\[b\])(.+?)(\[\/b\]))", "<B>$2</B>", 0, "[/b]"},
        {"[list]", R"((\[list\])(.+?)(\[\/list\]))", "<UL TYPE=SQUARE>$2</UL>", 0, "[/list]"},
        {"[list=", R"((\[list=)(A|1)(\])(.+?)(\[\/list\]))", "<OL TYPE=$2>$4</OL>", 0, "[/list]"},
        {"[*]", R"((\[\*\]))", "<LI>"},
        {"[hr]", R"((\[hr\]))", "<hr>"},
        {"[color=", R"((\[color=)(\S+?)(\])(.+?)(\[\/color\]))", R"(<font color="$2">$4</font>)", 0, "[/color]"},
        {"[font=", R"((\[font=)(\S+?)(\])(.+?)(\[\/font\]))", R"(<font face="$2">$4</font>)", 0, "[/font]"},
        {"[size=", R"((\[size=)(\S+?)(\])(.+?)(\[\/size\]))", R"(<font size="$2">$4</font>)", 0, "[/size]"},
        {"[fly]", R"(\[fly\](.+?)\[\/fly\])",
         "<marquee directio=right behavior=scroll scrollamount=10 scrolldelay=200>$1</marquee>", 0, "[/fly]"},
        {"[#", R"((\[#)(\S+?)(\])(.+?)(\[\/#\]))", R"(<font color="#$2">$4</font>)", 0, "[/#]"},
        {"[h1]", heading('1'), "<h1>$2</h1>", 0, "[/h1]"},
        {"[h2]", heading('2'), "<h2>$2</h2>", 0, "[/h2]"},
        {"[h3]", heading('3'), "<h3>$2</h3>", 0, "[/h3]"},
        {"[h4]", heading('4'), "<h4>$2</h4>", 0, "[/h4]"},
        {"[h5]", heading('5'), "<h5>$2</h5>", 0, "[/h5]"},
        {"[h6]", heading('6'), "<h6>$2</h6>", 0, "[/h6]"},
        {"[sup]", R"((\[sup\])(.+?)(\[\/sup\]))", "<sup>$2</sup>", 0, "[/sup]"},
        {"[sub]", R"((\[sub\])(.+?)(\[\/sub\]))", "<sub>$2</sub>", 0, "[/sub]"},
        {"[center]", R"((\[center\])(.+?)(\[\/center\]))", "<center>$2</center>", 0, "[/center]"},
        {"[right]", R"((\[right\])(.+?)(\[\/right\]))", "<div align=right>$2</div>", 0, "[/right]"},
        {"[pre]", R"((\[pre\])(.+?)(\[\/pre\]))", "<pre>$2</pre>", 0, "[/pre]"},
        {"[w]", R"((\[w\])(http|https|ftp)(:\/\/\S+?)(\[\/w\]))",
         R"(<IFRAME FRAMEBORDER=1 ALIGN=CENTER width=100% HEIGHT=400 SCROLLING=YES SRC="$2$3"></iframe>)"
         R"(<br>页面：<A HREF="$2$3" target=_blank>点这儿参观</A>)", 0, "[/w]"},
        {"[f]", R"((\[f\])(http|https|ftp)(:\/\/\S+?)(\[\/f\]))",
         flashObject(kFlashCab, "width=500 height=500", "$2$3"), 0, "[/f]"},
        {"[F W=", R"((\[F W=)(\d+)( H=)(\d+)(\])(http|https|ftp)(:\/\/\S+?)(\[\/F\]))",
         flashObject(kFlashCabSecondSite, R"(width="$2" height="$4")", "$6$7"), 0, "[/F]"},
        {"[F W=", R"((\[F W=)(\d+)( H=)(\d+)(\])(\S+?)(\[\/F\]))",
         flashObject(kFlashCabSecondSite, R"(width="$2" height="$4")", "http://$6"), 6, "[/F]"},
    });
    return rules;
}

}  // namespace markup

