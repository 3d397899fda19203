#include "site/Routes.h"

#include "core/Tarnbell.h"
#include "platform/Strings.h"

namespace site {

void RegisterBoardRoutes(Router& router) {
    using core::Tarnbell;
    router.add("login.asp", &Tarnbell::Login);

    // ubbmisc.asp serves several small pages, picked by `action`.
    router.add<Tarnbell>("ubbmisc.asp", [](Tarnbell& page) {
        const std::string action = platform::LCase(page.Request()("action").str());
        if (action == "idcheck") page.IDCheck();
    });
}

}  // namespace site
