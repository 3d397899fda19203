#pragma once
// The board's page addresses and the objects and methods that serve them.
#include "site/Router.h"

namespace site {

// The board's pages: one line per page, e.g.
//   router.add("list.asp", &Tarnbell::list);
void RegisterBoardRoutes(Router& router);
// The site's own pages: jump.asp and Default.htm.
void RegisterSitePages(Router& router);

}  // namespace site
