// The member ranking (top.asp): the ten members with the most posts and the
// ten with the most points, two members side by side in each row.
#include "core/Module1.h"
#include "core/Settings.h"
#include "board/browse/BrowsePages.h"
#include "platform/Recordset.h"

namespace board {

using namespace core;  // the board frame and the shared helpers

namespace {

struct MemberRanking {
    const char* caption;
    const char* countHeading;
    const char* query;  // name, then the count
};

// register_postcount and register_jf (core/Schema.sql) give these orders
// without reading the whole table.
constexpr MemberRanking kByPosts{"论坛发贴排行榜", "发贴",
                                 "SELECT username, postcount FROM register order by postcount desc limit 10"};
constexpr MemberRanking kByPoints{"论坛积分排行榜", "积分",
                                  "SELECT register.username, jf FROM register   order by jf  desc limit 10"};

const char* const kCell = "<td align=center bgcolor=#f7f7f7>";

std::string MemberCells(const platform::Server& server, std::int16_t place, bool rightHalf,
                        platform::Recordset& rs) {
    return kCell + std::string("<font color='NAVY'><strong>") + std::to_string(place) + (rightHalf ? " " : "") +
           "</strong></font>&nbsp;</td>" + kCell + "<span class=BigFont>" + server.HTMLEncode(rs.Fields(0)) +
           "</span>&nbsp;</td>" + kCell + "<span class=BigFont>" + server.HTMLEncode(rs.Fields(1)) +
           "</span>&nbsp;</td>";
}

std::string EmptyCells() {
    return kCell + std::string("<font color='NAVY'><strong></strong></font>&nbsp;</td>") + kCell +
           "<span class=BigFont></span>&nbsp;</td>" + kCell + "&nbsp;</td>";
}

std::string HeadingRow(const MemberRanking& ranking) {
    const Settings& s = CurrentSettings();
    auto cell = [&](const std::string& text) {
        return "<td align=center><span class=BigFont><b><font color=" + s.TableStripTextColor + ">" + text +
               "</font></b></span></td>";
    };
    // The last heading stays white whatever the strip's text colour.
    return "<tr " + s.TableColorStrip + ">" + cell("名次") + cell("网友") + cell(ranking.countHeading) +
           cell("名次") + cell("网友") + "<td align=center><span class=BigFont><b style=color:white>" +
           ranking.countHeading + "</b></span></td></tr>";
}

// Caption, heading row and the members, two to a row; the caller closes the
// table.
void WriteRanking(Tarnbell& page, platform::Connection& con, const MemberRanking& ranking) {
    const Settings& s = CurrentSettings();
    platform::Response& out = page.Response();
    out.Write("<table cellpadding=4 border=0 cellspacing=1 width=" + s.TableWidth + ">");
    out.Write(std::string("<tr><td><b>") + ranking.caption + "</b></td></tr>");
    out.Write("</table>");
    out.Write(s.TableBorderOpen);
    out.Write("<table cellpadding=4 border=0 cellspacing=1 width=" + s.InnerTableWidth + ">");
    out.Write(HeadingRow(ranking));

    platform::Recordset rs;
    rs.Open(ranking.query, con);
    std::int16_t place = 1;
    while (!rs.Eof()) {
        out.Write("<tr>" + MemberCells(page.Server(), place++, false, rs));
        rs.MoveNext();
        if (rs.Eof()) {
            out.Write(EmptyCells());
            break;
        }
        out.Write(MemberCells(page.Server(), place++, true, rs) + "</tr>");
        rs.MoveNext();
    }
}

}  // namespace

void BrowsePages::Top() {
    RunPage(Closing::CopyrightAndBody, [&](Page& p) {
        const Settings& s = CurrentSettings();
        platform::Response& out = Response();
        StartPage(p, {"排行榜", "排行榜 - " + s.BBName, "<div><center>",
                      "<table border=0 width=" + s.TableWidth + "><tbody><tr><td>" + s.Logo + "</td>" +
                          "<td><p align=Left>&nbsp;&nbsp;&nbsp;<b>" + s.BBName + "排行榜</b><br><br>" +
                          "<p><span class=smallFont>" + GetNavBarHtml() + "</span></p></td></tr></tbody></table>"});
        out.Write("<br>");

        WriteRanking(*this, p.Db(), kByPosts);
        out.Write("</table>" + s.TableBorderClose + "<br>");
        WriteRanking(*this, p.Db(), kByPoints);
        out.Write("</table>" + s.TableBorderClose + "</center></div>");
    });
}

}  // namespace board
