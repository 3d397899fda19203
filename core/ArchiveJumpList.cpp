// The archive jump form of the board home, kept in the application values
// ("NO" when there are no archives) until the archive centre empties it.
#include "core/JumpBox.h"
#include "core/Settings.h"
#include "core/Tarnbell.h"
#include "platform/Application.h"
#include "platform/Charset.h"
#include "platform/Recordset.h"

namespace core {

namespace {
const char* const kArchiveListKey = "ArchiveList";
const char* const kNoArchives = "NO";
}  // namespace

void EmptyArchiveJumpLists(platform::Application& application) {
    application.Set(kArchiveListKey, platform::Variant());
    EmptyForumJumpList(application);
}

std::string Tarnbell::GetArchiveJumpList(platform::Connection& con) {
    platform::Application& app = Application();
    const platform::Variant cached = app(kArchiveListKey);
    if (!(cached == platform::Variant(""))) {
        const std::string text = cached.str();
        return text == kNoArchives ? std::string() : text;
    }

    std::string text;
    {
        platform::Recordset rs;
        rs.Open("select * from archive", con);
        if (rs.Eof()) {
            text = kNoArchives;
        } else {
            text = "<form method=Get action=jump.asp><table border=0 width=" + CurrentSettings().TableWidth +
                   "><tr><td align=right><b>归档：</b>&nbsp;<select name=Jumpto class=smallsel>"
                   "<option value=default.asp>请选择一个档案进入";
            while (!rs.Eof()) {
                text += "<option value=archivelist.asp?archiveid=" + rs.Fields("archiveid").str() +
                        ">&nbsp;&nbsp;&nbsp;&nbsp;" + platform::HtmlEncode(rs.Fields("archivename").str()) +
                        "&nbsp;&nbsp;&nbsp;&nbsp;";
                rs.MoveNext();
            }
            text += "</select><input type=submit name=go value=GO class=buttonface></td></tr>"
                    "<tr><td align=right><b>归档文件</b> 就是我们论坛的精华</td></tr></table></form>";
        }
    }
    app.Set(kArchiveListKey, text);
    return text == kNoArchives ? std::string() : text;
}

}  // namespace core
