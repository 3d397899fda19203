// search.asp: the search form and the lists it leads to, chosen by the
// request field `action`.
#include <string>

#include "board/browse/SearchPage.h"
#include "board/browse/SearchQuery.h"
#include "core/PageFrame.h"
#include "core/Settings.h"
#include "platform/DateTime.h"
#include "platform/Strings.h"

namespace core {

namespace {

board::SearchChoices ReadChoices(const platform::Request& request) {
    board::SearchChoices c;
    c.terms = request.Form("SearchTerms");
    c.booleanAnd = request.Form("BooleanAnd");
    c.forumChoice = request.Form("ForumChoice");
    c.searchIn = request.Form("SearchIn");
    c.searchDate = request.Form("SearchDate");
    c.searchUser = request.Form("SearchUser");
    c.exactName = request.Form("ExactName");
    return c;
}

}  // namespace

void WriteSearchHeader(Tarnbell& page, const std::string& ubbHeader) {
    const std::string& style = CurrentSettings().BBStyle;
    if (style == "UBB")
        page.Response().Write(ubbHeader);
    else if (style == "CLUB")
        page.Response().Write(page.GetClubHeader());
}

void Tarnbell::Search() {
    RunPage(Closing::CopyrightAndBody, [&](Page& p) {
        const std::string action = platform::LCase(Request()("action").str());
        UpdateOnline(Request().ServerVariables("Remote_addr").str(), "搜索");
        Response().Write(PageHead("搜索 - " + CurrentSettings().BBName));
        Response().Write("<center>");

        const platform::DateTime now = platform::Now();
        if (action.empty()) {
            WriteSearchForm(*this, p);
        } else if (action == "simplesearch") {
            WriteSearchResults(*this, p, board::SimpleSearchStatement(ReadChoices(Request()), now));
        } else if (action == "getdaily") {
            WriteSearchResults(*this, p, board::DailyTopicsStatement(now));
        } else if (action == "searchuser") {
            WriteSearchResults(*this, p, board::UserPostsStatement(Request().QueryString("username")));
        } else if (action == "gotopage") {
            // A new or expired session has no list to page through.
            if (Session()("searchsql").str().empty())
                WriteSearchForm(*this, p);
            else
                WriteSearchResults(*this, p, std::nullopt);
        } else if (action == "browser") {
            // No list is defined for it: it stores no statement and fails.
            WriteSearchResults(*this, p, std::string());
        }
        Response().Write("</center>");
    });
}

}  // namespace core
