// search.asp: the search form and the lists it leads to, one step for each
// `action` (board/browse/BrowseRoutes.cpp), each in Search's page.
#include <string>

#include "board/browse/SearchBounds.h"
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

board::SearchList NewList(board::SearchKind kind) {
    board::SearchList list;
    list.asked = platform::Now();
    list.kind = kind;
    return list;
}

// A new list, refused before any statement runs when it asks too much.
void Find(core::Tarnbell& page, Page& p, const board::SearchList& list) {
    const std::string refusal = board::SearchRefusal(list);
    if (!refusal.empty()) p.Refuse(refusal);
    RunBoundedSearch(page, p, [&] { WriteSearchResults(page, p, list); });
}

}  // namespace

void BrowsePages::Search(const std::function<void(Page&)>& step) {
    RunPage(Closing::CopyrightAndBody, [&](Page& p) {
        StartPage(p, {"搜索", "搜索 - " + CurrentSettings().BBName, "<center>"});
        step(p);
        Response().Write("</center>");
    });
}

void BrowsePages::SearchForm(Page& p) { WriteSearchForm(*this, p); }

void BrowsePages::SimpleSearch(Page& p) {
    board::SearchList list = NewList(board::SearchKind::Simple);
    list.choices = ReadChoices(Request());
    Find(*this, p, list);
}

void BrowsePages::DailySearch(Page& p) { Find(*this, p, NewList(board::SearchKind::Daily)); }

void BrowsePages::UserSearch(Page& p) {
    board::SearchList list = NewList(board::SearchKind::User);
    list.username = Request().QueryString("username");
    Find(*this, p, list);
}

void BrowsePages::SearchGotoPage(Page& p) {
    // A new or expired session has no list to page through.
    bool kept = false;
    RunBoundedSearch(*this, p, [&] { kept = WriteKeptSearchResults(*this, p); });
    if (!kept) WriteSearchForm(*this, p);
}

void BrowsePages::SearchBrowser(Page&) {
    // No list is defined for it: it replaces the kept list with none and
    // fails.
    ForgetSearch(Session());
    platform::raise(platform::kErrDatabase, platform::kCommandTextNotSetText);
}

}  // namespace board
