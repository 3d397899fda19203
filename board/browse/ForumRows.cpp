#include "board/browse/ForumRows.h"

#include <string>
#include <utility>

#include "core/Module1.h"
#include "core/Settings.h"
#include "platform/Convert.h"
#include "platform/Recordset.h"

namespace board {

using platform::Variant;

std::string CategoryStrip(const std::string& title) {
    const core::Settings& s = core::CurrentSettings();
    return "<tr " + s.CategoryStripColor + "><td colSpan=6><font color=" + s.CategoryStripTextColor + "><b>" + title +
           "</b></font> </td></tr>";
}

namespace {

std::pair<std::shared_ptr<ForumRows>, std::size_t> BuildRows(const platform::Server& server, platform::Connection& con,
                                                             const core::Settings& s) {
    platform::Recordset rs;
    rs.CacheSize(20);
    rs.Open("select forum.forumname,forum.descript,forum.catalog,"
            "ifnull(topiccount,0)+ifnull(replycount,0) as postcount,ifnull(topiccount,0) as subjectcount,"
            "lastposttime as lasttime,lastpostusername,forummaster from forum order by forum.sequence",
            con);
    auto rows = std::make_shared<ForumRows>();
    std::size_t bytes = 64;
    std::string catalog;
    for (; !rs.Eof(); rs.MoveNext()) {
        std::string lead;
        const Variant rowCatalog = rs.Fields("catalog");
        if (!rowCatalog.isNull() && rowCatalog.str() != catalog) {
            catalog = rowCatalog.str();
            lead = CategoryStrip(server.HTMLEncode(catalog));
        }
        lead += "<tr><td vAlign=top " + s.BGColor + " align=center><img border=0 src=images/";

        const std::string name = rs.Fields("forumname").str();
        const Variant lastTime = rs.Fields("lasttime");
        const Variant lastUser = rs.Fields("lastpostusername");
        std::string cells = ".gif ></td>";
        cells += "<td  vAlign=top " + s.AltColumnColor1 + "><p><b><a href=\"list.asp?GroupName=" +
                 server.URLEncode(name) + "\">" + server.HTMLEncode(name) + "</a></b><br>" +
                 rs.Fields("descript").str() + "</td>";
        cells += "<td   noWrap vAlign=top align=center " + s.AltColumnColor2 + "><p>" +
                 std::to_string(core::CountOrZero(rs.Fields("subjectcount"))) + "&nbsp;</td>";
        cells += "<td align=center noWrap vAlign=top " + s.AltColumnColor1 + "><p>" +
                 std::to_string(core::CountOrZero(rs.Fields("postcount"))) + "&nbsp;</td>";
        // A forum whose last-post counters are missing shows an empty cell
        // rather than failing the whole page.
        if (lastUser.isNull() || lastTime.isNull()) {
            cells += "<td " + s.AltColumnColor2 + "></td>";
        } else {
            const std::string user = lastUser.str();
            cells += "<td   noWrap vAlign=top align=center " + s.AltColumnColor2 + "><p>" +
                     core::FormatLastPostTime(lastTime).str() + "<br>by <a href=viewuser.asp?username=" +
                     server.URLEncode(user) + ">" + server.HTMLEncode(user) + "</a></td>";
        }
        cells += "<td  vAlign=top  align=left " + s.AltColumnColor1 + " >" + rs.Fields("forummaster").str() +
                 "</td></tr>";

        const ForumRow& row = rows->emplace_back(
            ForumRow{platform::ShareForWire(std::move(lead)), lastTime, platform::ShareForWire(std::move(cells))});
        bytes += 128 + row.lead->Bytes() + row.cells->Bytes();
    }
    rs.Close();
    return {rows, bytes};
}

}  // namespace

std::shared_ptr<const ForumRows> HomeForumRows(platform::Connection& con, const platform::Server& server) {
    const core::Settings& s = core::CurrentSettings();
    return con.KeptOrBuilt<ForumRows>({"forum rows", s.Fingerprint()},
                                      [&] { return BuildRows(server, con, s); });
}

}  // namespace board
