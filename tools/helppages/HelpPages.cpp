#include "tools/helppages/HelpPages.h"

#include "UbbCode/Smileys.h"
#include "UbbCode/UbbCode.h"
#include "platform/Charset.h"

namespace helppages {

namespace {

// The page's head, the logo, the introduction and the heads of its table,
// in the board's default style.
std::string PageTop(const std::string& title, const std::string& intro, const std::vector<std::string>& heads) {
    std::string html =
        "<html><head><link rel=stylesheet type=text/css href=DEFAULT.CSS>\n"
        "<meta HTTP-EQUIV=Content-Type content=\"text/html; charset=gb2312\">\n"
        "<title>" + title + "</title></head>\n"
        "<body bgcolor=\"#FFFFFF\">\n"
        "<table border=0 width=95% align=center><tr><td><a href=default.asp><img style=border-color:#000000 "
        "border=1 src=\"images/title.gif\" WIDTH=276 HEIGHT=75></a></td>"
        "<td valign=bottom align=right><font color=#000080><b>" + title + "</b></font></td></tr></table>\n"
        "<table border=0 width=95% align=center><tr><td>" + intro + "</td></tr></table>\n"
        "<table border=0 cellspacing=1 cellpadding=4 width=95% align=center bgcolor=\"#000000\">\n"
        "<tr bgcolor=\"#000000\">";
    for (const std::string& head : heads) html += "<td><font color=#ffffff><b>" + head + "</b></font></td>";
    return html + "</tr>\n";
}

std::string RowStart(std::size_t row) {
    return row % 2 == 0 ? "<tr bgcolor=\"#f7f7f7\">" : "<tr bgcolor=\"#dedfdf\">";
}

const char* const kPageEnd = "</table>\n<p align=center><a href=\"javascript:window.close()\">关闭窗口</a></p>\n"
                             "</body></html>\n";

// What a post holding `text` shows: encoded, then converted as the board
// converts posts.
std::string AsPost(std::string_view text, bool smileys) {
    markup::UbbCode converter;
    platform::Variant content(platform::HtmlEncode(text));
    converter.UbbCode(content);
    if (smileys) converter.Smiles(content);
    return content.str();
}

}  // namespace

const std::vector<TagExample>& TagExamples() {
    static const std::vector<TagExample> examples = {
        {"粗体", "[b]粗体字[/b]"},
        {"斜体", "[i]斜体字[/i]"},
        {"下划线", "[u]带下划线的字[/u]"},
        {"文字颜色（颜色名称）", "[color=red]红色的字[/color]"},
        {"文字颜色（六位十六进制数）", "[#0000FF]蓝色的字[/#]"},
        {"字体", "[font=黑体]黑体字[/font]"},
        {"字号（1 到 7）", "[size=4]四号字[/size]"},
        {"标题（一级到六级）",
         "[h1]一级标题[/h1][h2]二级标题[/h2][h3]三级标题[/h3][h4]四级标题[/h4][h5]五级标题[/h5][h6]六级标题[/h6]"},
        {"上标", "X[sup]2[/sup]"},
        {"下标", "H[sub]2[/sub]O"},
        {"居中", "[center]居中的文字[/center]"},
        {"靠右", "[right]靠右的文字[/right]"},
        {"飞行的文字", "[fly]飞行的文字[/fly]"},
        {"分隔线", "上面的文字[hr]下面的文字"},
        {"保留格式（空格照原样显示）", "[pre]第一列    第二列[/pre]"},
        {"程序代码", "[code]if (a > b) return a;[/code]"},
        {"引用", "[quote]被引用的话[/quote]"},
        {"列表", "[list][*]第一项[*]第二项[/list]"},
        {"数字编号的列表", "[list=1][*]第一项[*]第二项[/list]"},
        {"字母编号的列表", "[list=A][*]第一项[*]第二项[/list]"},
        {"链接", "[url]http://www.example.com/[/url]"},
        {"链接（省去 http://）", "[url]www.example.com[/url]"},
        {"带文字的链接", "[url=http://www.example.com/]示例网站[/url]"},
        {"下载链接", "[download=http://www.example.com/file.zip]下载文件[/download]"},
        {"电子邮件", "[email]name@example.com[/email]"},
        {"带文字的电子邮件", "[email=name@example.com]给我写信[/email]"},
        {"图片", "[img]images/title.gif[/img]"},
        {"嵌入网页", "[w]http://www.example.com/[/w]", false},
        {"Flash 动画", "[f]http://www.example.com/movie.swf[/f]", false},
        {"指定宽高的 Flash 动画", "[F W=300 H=200]http://www.example.com/movie.swf[/F]", false},
        {"自动链接（前面空一格）", "网址 http://www.example.com/ 或 www.example.com 或 ftp://ftp.example.com/"},
    };
    return examples;
}

std::string UbbCodePage() {
    std::string html = PageTop("UBB 代码说明",
                               "<p>UBB 代码是写在方括号里的标记，论坛显示帖子、短消息、签名和公告时把它们换成相应的格式。"
                               "标记的字母大小写都可以，成对的标记要有结束标记（如 [/b]）。HTML 代码在帖子里不起作用。</p>"
                               "<p>笑脸符号见 <a href=smiles.htm>笑脸转换一点通</a>。</p>",
                               {"功能", "写法", "效果"});
    std::size_t row = 0;
    for (const TagExample& tag : TagExamples()) {
        const std::string result = AsPost(tag.example, false);
        html += RowStart(row++) + "<td nowrap>" + std::string(tag.what) + "</td><td>" +
                platform::HtmlEncode(tag.example) + "</td><td>" +
                (tag.shown ? result : "<font color=#808080>显示为：</font>" + platform::HtmlEncode(result)) +
                "</td></tr>\n";
    }
    return html + kPageEnd;
}

std::string SmileysPage() {
    std::string html = PageTop("笑脸转换一点通",
                               "<p>帖子里写下左边的符号，论坛显示时换成右边的笑脸图片（字母大小写都可以）。"
                               "发帖时选中“禁止笑脸转换”，符号就照原样显示。</p>"
                               "<p>其他格式见 <a href=ubbcode.htm>UBB 代码说明</a>。</p>",
                               {"符号", "笑脸"});
    std::size_t row = 0;
    for (const markup::Smiley& smiley : markup::kSmileys)
        html += RowStart(row++) + "<td>" + platform::HtmlEncode(smiley.code) + "</td><td>" +
                AsPost(smiley.code, true) + "</td></tr>\n";
    return html + kPageEnd;
}

}  // namespace helppages
