#include <gtest/gtest.h>

#include <string>

#include "core/Module1.h"
#include "core/ScopedSettings.h"

namespace {

const std::string kLists =
    "<select name='font' onChange='showfont(this.options[this.selectedIndex].value)'>"
    "<option value='Andale Mono'>Andale Mono</option>"
    "<option value='Arial'>Arial</option>"
    "<option value='Arial Black'>Arial Black</option>"
    "<option value='Book Antiqua'>Book Antiqua</option>"
    "<option value='Century Gothic'>Century Gothic</option>"
    "<option value='Comic Sans MS'>Comic Sans MS</option>"
    "<option value='Courier New'>Courier New</option>"
    "<option value='Georgia'>Georgia</option>"
    "<option value='Impact'>Impact</option>"
    "<option value='Tahoma'>Tahoma</option>"
    "<option value='Times New Roman' selected>Times New Roman</option>"
    "<option value='Trebuchet MS'>Trebuchet MS</option>"
    "<option value='Script MT Bold'>Script MT Bold</option>"
    "<option value='Stencil'>Stencil</option>"
    "<option value='Verdana'>Verdana</option>"
    "<option value='Lucida Console'>Lucida Console</option>"
    "</select>"
    "<select name='size' onChange='showsize(this.options[this.selectedIndex].value)'>"
    "<option value='1'>1</option><option value='2'>2</option>"
    "<option value='3' selected>3</option><option value='4'>4</option>"
    "<option value='5'>5</option><option value='6'>6</option>"
    "</select>"
    "<select name='color' onChange='showcolor(this.options[this.selectedIndex].value)'>"
    "<option value='Black' selected>Black</option>"
    "<option value='Red'>Red</option><option value='Yellow'>Yellow</option>"
    "<option value='Pink'>Pink</option><option value='Green'>Green</option>"
    "<option value='Orange'>Orange</option><option value='Purple'>Purple</option>"
    "<option value='Blue'>Blue</option><option value='Beige'>Beige</option>"
    "<option value='Brown'>Brown</option><option value='Teal'>Teal</option>"
    "<option value='Navy'>Navy</option><option value='Maroon'>Maroon</option>"
    "<option value='LimeGreen'>LimeGreen</option>"
    "</select>";

const std::string kButtons =
    "<img align=absmiddle src='afp/bold.gif' width='23' height='22' alt='黑体' border='0' onClick='bold()'>"
    "<img align=absmiddle src='afp/italicize.gif' width='23' height='22' alt='斜体' border='0' onClick='italicize()'>"
    "<img align=absmiddle src='afp/underline.gif' width='23' height='22' alt='下划线' border='0' onClick='underline()'>"
    "<img align=absmiddle src='afp/center.gif' width='23' height='22' alt='居中' border='0' onClick='center()'>"
    "<img align=absmiddle src='afp/url.gif' width='23' height='22' alt='插入超级链接' border='0' onClick='hyperlink()'>"
    "<img align=absmiddle src='afp/email.gif' width='23' height='22' alt='插入电子邮件' border='0' onClick='email()'>"
    "<img align=absmiddle src='afp/image.gif' width='23' height='22' alt='插入图像' border='0' onClick='image()'>"
    "<img align=absmiddle src='afp/code.gif' width='23' height='22' alt='插入代码' border='0' onClick='showcode()'>"
    "<img align=absmiddle src='afp/quote.gif' width='23' height='22' alt='插入引用' border='0' onClick='quote()'>"
    "<img align=absmiddle src='afp/list.gif' width='23' height='22' alt='插入列表' border='0' onClick='list()'>"
    "<img align=absmiddle src='afp/smilie.gif' width='23' height='22' alt='插入笑脸' border='0' onClick='smilieopen()'>"
    "<img align=absmiddle src='afp/help.gif' width=23 height=22 alt='UBB代码说明' border=0 onClick='viewubb()'>";

const std::string kHelpMode =
    "<b>选择帮助模式:</b>&nbsp;"
    "<input type='radio' name='mode' value='help' onClick='thelp(1)'>帮助&nbsp;"
    "<input type='radio' name='mode' value='prompt' CHECKED onClick='thelp(2)'>完全&nbsp;"
    "<input type='radio' name='mode' value='basic'  onClick='thelp(0)'>基本&nbsp;"
    "<br><b>高级字体设置:</b> <a href='javascript:afp()'>点击这里进入高级字体设置</a>";

TEST(MessageEditor, UbbStyle) {
    testing_support::ScopedSettings settings;
    settings->BBStyle = "UBB";
    EXPECT_EQ(core::MessageEditor("[b]hi[/b] &amp; 你好").str(),
              kLists + kButtons + "<br>" +
                  "<TEXTAREA NAME=Message ROWS=10 COLS=95 WRAP=VIRTUAL class=smallarea>"
                  "[b]hi[/b] &amp; 你好</textarea>" +
                  "<br>" + kHelpMode);
}

TEST(MessageEditor, ClubStyle) {
    testing_support::ScopedSettings settings;
    settings->BBStyle = "CLUB";
    EXPECT_EQ(core::MessageEditor("").str(),
              kLists + "<BR>" + kButtons + "<br>" +
                  "<TEXTAREA NAME=Message ROWS=10 COLS=75  WRAP=VIRTUAL class=smallarea>"
                  "</textarea>" +
                  "<br>" + kHelpMode);
}

}  // namespace
