#include "site/Routes.h"

namespace site {

void RegisterBoardRoutes(Router&) {
    // No board page is built yet.
}

}  // namespace site
