// The page an author panel's ICQ link opens in a small window
// (ubbmisc.asp?action=icqmessage&UIN=N): the number, to copy. The network it
// belonged to is closed, so the page shows the number and sends nothing.
#include <string>

#include "board/authors/MemberAddresses.h"
#include "board/members/MemberPages.h"
#include "core/Module1.h"
#include "platform/Charset.h"

namespace board {

void MemberPages::IcqMessage() {
    RunPage(core::Closing::CopyrightAndBody, [&](core::Page& p) {
        const core::Settings& s = core::CurrentSettings();
        StartPage(p, {"查看ICQ号码", "ICQ号码 - " + s.BBName, "<center>"});
        const std::string number = Request()("UIN").str();
        if (!IsAllDigits(number)) p.Refuse("ICQ号码不正确，只能是数字！");
        Response().Write(s.TableBorderOpen + "<table border=0 width=" + s.InnerTableWidth +
                         " cellpadding=4 cellspacing=1><tr " + s.TableColorStrip + "><td><font color=" +
                         s.TableStripTextColor + "><b>ICQ</b></font></td></tr><tr " + s.AltColumnColor1 +
                         "><td><img src=images/icq.gif width=18 height=18 border=0 align=absmiddle> ICQ号码：<b>" +
                         platform::HtmlEncode(number) + "</b></td></tr></table>" + s.TableBorderClose +
                         "<p><a href=javascript:window.close()>关闭窗口</a></p></center>");
    });
}

}  // namespace board
