// search.asp: the search form and the lists it leads to, chosen by the
// request field `action`.
#include <string>

#include "board/browse/SearchPage.h"
#include "board/browse/SearchQuery.h"
#include "core/PageFrame.h"
#include "core/Settings.h"
#include "platform/DateTime.h"
#include "platform/Error.h"
#include "platform/Strings.h"

namespace board {

using namespace core;  // the board frame and the shared helpers

namespace {

board::SearchChoices ReadChoices(const platform::Request& request) {
    board::SearchChoices c;
    for (const board::SearchField& f : board::kSearchFields) c.*f.value = request.Form(f.name);
    return c;
}

}  // namespace

void BrowsePages::Search() {
    RunPage(Closing::CopyrightAndBody, [&](Page& p) {
        const std::string action = platform::LCase(Request()("action").str());
        StartPage(p, {"搜索", "搜索 - " + CurrentSettings().BBName, "<center>"});

        // A new list, refused before any statement runs when it asks too much.
        board::SearchList list;
        list.asked = platform::Now();
        auto search = [&] {
            const std::string refusal = board::SearchRefusal(list);
            if (!refusal.empty()) p.Refuse(refusal);
            WriteSearchResults(*this, p, list);
        };
        if (action.empty()) {
            WriteSearchForm(*this, p);
        } else if (action == "simplesearch") {
            list.kind = board::SearchKind::Simple;
            list.choices = ReadChoices(Request());
            search();
        } else if (action == "getdaily") {
            list.kind = board::SearchKind::Daily;
            search();
        } else if (action == "searchuser") {
            list.kind = board::SearchKind::User;
            list.username = Request().QueryString("username");
            search();
        } else if (action == "gotopage") {
            // A new or expired session has no list to page through.
            if (!WriteKeptSearchResults(*this, p)) WriteSearchForm(*this, p);
        } else if (action == "browser") {
            // No list is defined for it: it replaces the kept list with none
            // and fails.
            ForgetSearch(Session());
            platform::raise(platform::kErrDatabase, platform::kCommandTextNotSetText);
        }
        Response().Write("</center>");
    });
}

}  // namespace board
