// The result list of search.asp: one page of a list, with the pager. The
// session keeps the list's choices; each page builds and runs its statement
// again. Only the count of rows is kept with the choices, since counting a
// text search reads every post.
#include <algorithm>
#include <cstdint>
#include <iterator>
#include <optional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "board/browse/SearchPage.h"
#include "core/Module1.h"
#include "core/Settings.h"
#include "platform/Convert.h"
#include "platform/Error.h"
#include "platform/Recordset.h"

namespace board {

using namespace core;  // the board frame and the shared helpers

namespace {

const char* const kResultsHeader =
    "<TD align=center vAlign=middle>"
    "<CENTER><font class=bbtitle>搜索结果</font><br><br><br>"
    "<A href=search.asp>新搜索</A> | "
    "<a href=default.asp>回到论坛</A></center> "
    "</TD></TR></TBODY></TABLE>"
    "<br>";

void WriteHeadingRow(platform::Response& out) {
    const Settings& s = CurrentSettings();
    const std::string font = "<font color=" + s.TableStripTextColor + "><b>";
    out.Write("<TR " + s.TableColorStrip + ">");
    out.Write("<TD>" + font + "话题</b></font></TD>");
    out.Write("<TD noWrap>" + font + "用户名</b></font></TD>");
    out.Write("<TD noWrap>" + font + "日期</b></font></TD>");
    out.Write("<TD noWrap>" + font + "论坛/档案</b></font></TD>");
    out.Write("</TR>");
}

std::string RowHtml(const platform::Server& server, platform::Recordset& rs) {
    const Settings& s = CurrentSettings();
    const std::string id = rs.Fields("id").str();
    const bool archived = platform::CBool(rs.Fields("isarchive"));
    // An archived topic may stand in several archives: the link names this row's.
    const std::string href = archived ? "archivecontent.asp?id=" + id + "&archiveid=" + rs.Fields("archiveid").str()
                                      : "newsdetail.asp?id=" + id;
    return "<TR><TD " + s.AltColumnColor1 + "><A href=" + href + ">" + server.HTMLEncode(rs.Fields("subject")) +
           "</A></TD><TD " + s.AltColumnColor2 + ">" + server.HTMLEncode(rs.Fields("username")) + "</TD><TD " +
           s.AltColumnColor1 + " noWrap>" + FormatPostTime(rs.Fields("lastlytime")).str() + "</TD><TD " +
           s.AltColumnColor2 + ">" + server.HTMLEncode(rs.Fields("forumname")) + "</td></tr>";
}

// A page of a list's rows as HTML, the same for every visitor: built once
// and kept on the database handle until the file changes (today's topics
// and a popular search are asked for again and again).
using ResultRows = std::vector<std::shared_ptr<const platform::EncodedText>>;

std::pair<std::shared_ptr<ResultRows>, std::size_t> BuildRows(platform::Connection& con,
                                                              const platform::Server& server,
                                                              const SqlStatement& statement, long offset) {
    const Settings& s = CurrentSettings();
    platform::SqlParams params = statement.params;
    params.emplace_back(static_cast<int>(s.PageSize));
    params.emplace_back(offset);
    platform::Recordset rs;
    rs.Open("SELECT * FROM (" + statement.sql + ") LIMIT ? OFFSET ?", con, params);
    auto rows = std::make_shared<ResultRows>();
    std::size_t bytes = 64;
    for (; !rs.Eof(); rs.MoveNext()) {
        rows->push_back(platform::ShareForWire(RowHtml(server, rs)));
        bytes += 96 + rows->back()->Bytes();
    }
    rs.Close();
    return {rows, bytes};
}

std::shared_ptr<const ResultRows> RowsFrom(platform::Connection& con, const platform::Server& server,
                                           const SqlStatement& statement, long offset) {
    const Settings& s = CurrentSettings();
    return con.KeptOrBuilt<ResultRows>({"search rows", std::to_string(offset), s.Fingerprint(),
                                        platform::StatementKey(statement.sql, statement.params)},
                                       [&] { return BuildRows(con, server, statement, offset); });
}

long CountRows(platform::Connection& con, const SearchList& list) {
    const SqlStatement count = ListCountStatement(con, list);
    return static_cast<long>(platform::CountOf(con, count.sql, count.params));
}

// The kept list is one session value, the choices with the count of rows,
// so that two requests of one session at once can only replace the whole
// list, never pair one list with another's count.
const char* const kKeptSearch = "searchlist";
enum KeptCell : std::size_t { kKind, kAsked, kUsername, kCount, kFirstChoice };
constexpr std::size_t kKeptCells = kFirstChoice + std::size(board::kSearchFields);

struct KeptList {
    SearchList list;
    long count = 0;
};

void KeepSearch(platform::Session& session, const SearchList& list, long count) {
    platform::VariantArray kept(kKeptCells, 1);
    kept.at(kKind, 0) = platform::Variant(static_cast<int>(list.kind));
    kept.at(kAsked, 0) = list.asked;
    kept.at(kUsername, 0) = list.username;
    kept.at(kCount, 0) = platform::Variant(count);
    std::size_t cell = kFirstChoice;
    for (const board::SearchField& f : board::kSearchFields) kept.at(cell++, 0) = list.choices.*f.value;
    session.Set(kKeptSearch, platform::Variant(std::move(kept)));
}

std::optional<KeptList> KeptSearch(const platform::Session& session) {
    const platform::Variant value = session(kKeptSearch);
    if (!value.isArray()) return std::nullopt;
    const platform::VariantArray& kept = value.array();
    KeptList k;
    k.list.kind = static_cast<board::SearchKind>(platform::CLng(kept.at(kKind, 0)));
    k.list.asked = platform::CDate(kept.at(kAsked, 0));
    k.list.username = kept.at(kUsername, 0);
    k.count = platform::CLng(kept.at(kCount, 0));
    std::size_t cell = kFirstChoice;
    for (const board::SearchField& f : board::kSearchFields) k.list.choices.*f.value = kept.at(cell++, 0);
    return k;
}

void WritePage(Tarnbell& page, Page& p, const SqlStatement& statement, long recordCount) {
    const Settings& s = CurrentSettings();
    platform::Response& out = page.Response();
    platform::Connection& con = p.Db();

    page.WriteBoardHeader("<TABLE border=0 width=" + s.TableWidth + "><TBODY><TR><TD align=left>" + s.Logo +
                                "</td>" + kResultsHeader);
    // The count kept with the list can be older than the rows.
    const auto first = recordCount > 0 ? RowsFrom(con, page.Server(), statement, 0) : nullptr;
    if (!first || first->empty()) {
        out.Write("<TABLE border=0 width=" + s.TableWidth + ">");
        out.Write("<TBODY>");
        out.Write("<tr><td>没有发现任何记录！</td>");
        out.Write("</TBODY></TABLE>");
        return;
    }
    if (s.PageSize <= 0)
        platform::raise(platform::kErrDatabase, platform::kPageOutOfRangeText);

    // Pages are 16-bit numbers: a list longer than that many pages is shown
    // up to its 32767th page instead of failing.
    const std::int16_t pageCount =
        static_cast<std::int16_t>(std::min<long>((recordCount + s.PageSize - 1) / s.PageSize, INT16_MAX));
    const platform::Variant requested = page.Request()("page");
    std::int16_t current = IsPositiveNumber(requested) ? platform::CInt(requested) : 1;
    current = std::min(current, pageCount);  // past the end: the last page
    const long offset = static_cast<long>(current - 1) * s.PageSize;
    const auto rows = offset == 0 ? first : RowsFrom(con, page.Server(), statement, offset);

    out.Write(s.TableBorderOpen);
    out.Write("<TABLE border=0 cellPadding=4 cellSpacing=1 width=" + s.InnerTableWidth + ">");
    out.Write("<TBODY>");
    WriteHeadingRow(out);
    const std::size_t shown = std::min<std::size_t>(rows->size(), static_cast<std::size_t>(recordCount - offset));
    for (std::size_t i = 0; i < shown; ++i) out.Write((*rows)[i]);
    out.Write("</table>");
    out.Write(s.TableBorderClose);
    page.PageStyle(recordCount, current, pageCount, s.PageSize, "&action=GotoPage");
}

}  // namespace

void ForgetSearch(platform::Session& session) { session.Remove(kKeptSearch); }

void WriteSearchResults(Tarnbell& page, Page& p, const SearchList& list) {
    // A choice that is not a number fails here, and the list the session
    // keeps stays as it was.
    const SqlStatement statement = ListStatement(p.Db(), list);
    const long recordCount = CountRows(p.Db(), list);
    // Kept once the page is written: a search given up keeps the last list.
    WritePage(page, p, statement, recordCount);
    KeepSearch(page.Session(), list, recordCount);
}

bool WriteKeptSearchResults(Tarnbell& page, Page& p) {
    const std::optional<KeptList> kept = KeptSearch(page.Session());
    if (!kept) return false;
    WritePage(page, p, ListStatement(p.Db(), kept->list), kept->count);
    return true;
}

}  // namespace board
