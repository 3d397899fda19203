// The posting editor of the topic, reply, edit and private-message forms.
#include <string>

#include "core/MessageEditor.h"
#include "core/Settings.h"

namespace core {

namespace {

const char* const kFonts[] = {"Andale Mono",   "Arial",           "Arial Black",  "Book Antiqua",
                              "Century Gothic", "Comic Sans MS",  "Courier New",  "Georgia",
                              "Impact",         "Tahoma",          "Times New Roman", "Trebuchet MS",
                              "Script MT Bold", "Stencil",         "Verdana",      "Lucida Console"};
const char* const kColors[] = {"Black",  "Red",   "Yellow", "Pink",  "Green",  "Orange", "Purple",
                               "Blue",   "Beige", "Brown",  "Teal",  "Navy",   "Maroon", "LimeGreen"};

struct ToolButton {
    const char* image;
    const char* tooltip;
    const char* handler;
};
const ToolButton kButtons[] = {
    {"bold", "黑体", "bold()"},           {"italicize", "斜体", "italicize()"},
    {"underline", "下划线", "underline()"}, {"center", "居中", "center()"},
    {"url", "插入超级链接", "hyperlink()"}, {"email", "插入电子邮件", "email()"},
    {"image", "插入图像", "image()"},       {"code", "插入代码", "showcode()"},
    {"quote", "插入引用", "quote()"},       {"list", "插入列表", "list()"},
    {"smilie", "插入笑脸", "smilieopen()"},
};

// A drop-down list whose option values equal their labels.
std::string selectList(const char* name, const char* handler, const char* const* first,
                       const char* const* last, const std::string& selected) {
    std::string html = std::string("<select name='") + name + "' onChange='" + handler +
                       "(this.options[this.selectedIndex].value)'>";
    for (auto it = first; it != last; ++it) {
        const std::string value = *it;
        html += "<option value='" + value + "'" + (value == selected ? " selected" : "") + ">" +
                value + "</option>";
    }
    return html + "</select>";
}

std::string toolbar() {
    std::string html;
    for (const ToolButton& b : kButtons) {
        html += std::string("<img align=absmiddle src='afp/") + b.image +
                ".gif' width='23' height='22' alt='" + b.tooltip + "' border='0' onClick='" +
                b.handler + "'>";
    }
    return html +
           "<img align=absmiddle src='afp/help.gif' width=23 height=22 alt='UBB代码说明' border=0 "
           "onClick='viewubb()'>";
}

// The lists and the toolbar never change: built once.
const std::string& selectLists() {
    static const char* const kSizes[] = {"1", "2", "3", "4", "5", "6"};
    static const std::string html =
        selectList("font", "showfont", std::begin(kFonts), std::end(kFonts), "Times New Roman") +
        selectList("size", "showsize", std::begin(kSizes), std::end(kSizes), "3") +
        selectList("color", "showcolor", std::begin(kColors), std::end(kColors), "Black");
    return html;
}

constexpr const char* kHelpMode =
    "<b>选择帮助模式:</b>&nbsp;"
    "<input type='radio' name='mode' value='help' onClick='thelp(1)'>帮助&nbsp;"
    "<input type='radio' name='mode' value='prompt' CHECKED onClick='thelp(2)'>完全&nbsp;"
    "<input type='radio' name='mode' value='basic'  onClick='thelp(0)'>基本&nbsp;"
    "<br><b>高级字体设置:</b> <a href='javascript:afp()'>点击这里进入高级字体设置</a>";

}  // namespace

platform::Variant MessageEditor(const std::string& text) {
    static const std::string buttons = toolbar();
    const std::string& style = CurrentSettings().BBStyle;
    std::string html = selectLists();
    if (style == "CLUB") html += "<BR>";
    html += buttons;
    html += "<br>";
    html += style == "UBB"
                ? "<TEXTAREA NAME=Message ROWS=10 COLS=95 WRAP=VIRTUAL class=smallarea>"
                : "<TEXTAREA NAME=Message ROWS=10 COLS=75  WRAP=VIRTUAL class=smallarea>";
    html += text;
    html += "</textarea><br>";
    html += kHelpMode;
    return platform::Variant(html);
}

std::string PageEditor(const std::string& text) {
    return "<script src=editor.js></script>" + MessageEditor(text).str();
}

}  // namespace core
