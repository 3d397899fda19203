// The addresses of the reading and mail pages.
#include "board/browse/BrowsePages.h"
#include "platform/Router.h"

namespace board {
namespace {

using platform::ActionRegistrar;
using platform::PageRegistrar;

const PageRegistrar kPages[] = {
    {"default.asp", &BrowsePages::Home},
    {"list.asp", &BrowsePages::list},
    {"newsdetail.asp", &BrowsePages::Detail},
    {"hot.asp", &BrowsePages::HotTopic},
    {"morereply.asp", &BrowsePages::MoreReply},
    {"active.asp", &BrowsePages::NewlyTopic},
    {"top.asp", &BrowsePages::Top},
    {"online.asp", &BrowsePages::Online},
    {"download.asp", &BrowsePages::Pack},
};

// Any other action shows the search page with nothing in it.
const platform::FramedPage kSearch("search.asp", &BrowsePages::Search, [](BrowsePages&, core::Page&) {},
                                   {
                                       {"", &BrowsePages::SearchForm},
                                       {"simplesearch", &BrowsePages::SimpleSearch},
                                       {"getdaily", &BrowsePages::DailySearch},
                                       {"searchuser", &BrowsePages::UserSearch},
                                       {"gotopage", &BrowsePages::SearchGotoPage},
                                       {"browser", &BrowsePages::SearchBrowser},
                                   });

const ActionRegistrar kActions[] = {
    {"ubbmisc.asp", "getannounce", &BrowsePages::Getannounce},
    {"ubbmisc.asp", "sendthread", &BrowsePages::SendThread},
};

}  // namespace
}  // namespace board
