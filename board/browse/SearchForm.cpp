// The search form of search.asp: words, forum or archive, scope, date
// window and author; it posts back with action "simplesearch".
#include <string>

#include "board/browse/SearchPage.h"
#include "core/PublicForum.h"
#include "platform/Charset.h"
#include "core/Settings.h"
#include "platform/Recordset.h"

namespace board {

using namespace core;  // the board frame and the shared helpers

namespace {

const char* const kFormHeader =
    "<tbody>"
    "<tr>"
    "<td><img alt='Search Bulletin Board' border=0 src=images/searchhead.gif WIDTH=213 HEIGHT=58> </td>"
    "<td vAlign=bottom>"
    "<center><a href=default.asp>回到论坛</a></center></td></tr></tbody></table><br>";

// Public forums (a NULL restrict is public, as everywhere else), then the
// archives.
void WriteForumOptions(platform::Response& out, platform::Connection& con) {
    platform::Recordset rs;
    rs.Open(std::string("Select * from Forum where ") + kPublicForumSql, con);
    while (!rs.Eof()) {
        const std::string name = rs.Fields("forumname").str();
        out.Write("<option value=" + platform::QuotedAttribute(name) + ">" + platform::HtmlEncode(name) + "\r\n");
        rs.MoveNext();
    }
    rs.Close();
    rs.Open("select * from archive", con);
    while (!rs.Eof()) {
        out.Write("<option value=\"archive_" + rs.Fields("archiveid").str() + "\">" +
                  platform::HtmlEncode(rs.Fields("archivename").str()) + "\r\n");
        rs.MoveNext();
    }
}

}  // namespace

void WriteSearchForm(Tarnbell& page, Page& p) {
    const Settings& s = CurrentSettings();
    platform::Response& out = page.Response();
    out.Write("<form ACTION=search.asp METHOD=POST>");
    page.WriteBoardHeader("<table border=0 width=" + s.TableWidth + ">" + kFormHeader);
    out.Write(s.TableBorderOpen);
    out.Write("<table border=0 cellPadding=4 cellSpacing=1 width=" + s.InnerTableWidth + ">");
    out.Write("<tbody>");

    out.Write("<tr " + s.AltColumnColor1 + "><td align=right vAlign=top><b>想要搜索的关键词:</b></td>");
    out.Write("<td><input name=SearchTerms maxLength=25 class=smallinput><br><font color=#000080>"
              "<input type=radio name=BooleanAND value=YES checked>匹配上列所有关键词.<br>"
              "<input type=radio name=BooleanAND value=NO>匹配上列任何关键词."
              "<p>多个关键词中间使用空格, 不是逗号.</p></font></td></tr>");

    out.Write("<tr " + s.AltColumnColor2 + "><td align=right vAlign=top><b>想要搜索的论坛/档案:</b></td>");
    out.Write("<td><select name=ForumChoice class=smallsel><option value=ALL selected>搜索所有的开发论坛和档案\r\n");
    WriteForumOptions(out, p.Db());
    out.Write("</select></td></tr>");

    out.Write("<tr " + s.AltColumnColor1 + "><td align=right><b>搜索范围:</b></td>");
    out.Write("<td><select name=SearchIn class=smallsel><option value=ALL selected>所有的贴子正文(包括标题)"
              "<option value=SUBJECT>只搜索标题</select></td></tr>");

    out.Write("<tr " + s.AltColumnColor2 + "><td align=right><b>日期范围:</b></td>");
    out.Write("<td><select name=SearchDate class=smallsel><option value=ALL selected>所有日期"
              "<option value=1>昨天以来<option value=5>5天以来<option value=10>10天以来"
              "<option value=30>30天以来</select></td></tr>");

    out.Write("<tr " + s.AltColumnColor1 + "><td align=right vAlign=top><b>发表者的用户名:</b></td>");
    out.Write("<td vAlign=top><input name=SearchUser maxLength=25 class=smallinput><br><font color=#000080>"
              "<input type=radio name=ExactName value=yes>匹配全名(大小写相关)<br>"
              "<input type=radio name=ExactName value=no checked>模糊匹配</font>");

    out.Write("</td></tr></tbody></table>");
    out.Write(s.TableBorderClose);
    out.Write("<p align=center><input name=action type=hidden value=simplesearch> "
              "<input name=Submit type=submit value=执行搜索 class=buttonface> "
              "<input name=Reset class=buttonface type=reset value=清除字段></p>");
    out.Write("</form>");
}

}  // namespace board
