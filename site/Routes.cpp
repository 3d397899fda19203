#include "site/Routes.h"

#include "core/Tarnbell.h"
#include "platform/Strings.h"

namespace site {

void RegisterBoardRoutes(Router& router) {
    using core::Tarnbell;
    router.add("login.asp", &Tarnbell::Login);
    router.add("hot.asp", &Tarnbell::HotTopic);
    router.add("morereply.asp", &Tarnbell::MoreReply);
    router.add("active.asp", &Tarnbell::NewlyTopic);
    router.add("top.asp", &Tarnbell::Top);
    router.add("online.asp", &Tarnbell::Online);
    router.add("search.asp", &Tarnbell::Search);
    router.add("newsdetail.asp", &Tarnbell::Detail);
    router.add("default.asp", &Tarnbell::Home);
    router.add("list.asp", &Tarnbell::list);
    router.add("download.asp", &Tarnbell::Pack);

    // ubbmisc.asp serves several small pages, picked by `action`.
    router.add<Tarnbell>("ubbmisc.asp", [](Tarnbell& page) {
        const std::string action = platform::LCase(page.Request()("action").str());
        if (action == "idcheck") page.IDCheck();
        else if (action == "getannounce") page.Getannounce();
        else if (action == "sendthread") page.SendThread();
    });
}

}  // namespace site
