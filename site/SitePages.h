#pragma once
// The site's own pages beside the board's: the jump page that the jump
// boxes post to, the start page that forwards to the board home, and the
// login page.
#include <string>
#include <string_view>

#include "platform/PageObject.h"
#include "platform/Router.h"

namespace site {

class SitePages : public platform::PageObject {
public:
    // jump.asp: forwards to the address in `jumpTo`, or to the board home
    // when that is not an address of this board (core/BoardAddress.h).
    void Jump();
    // Default.htm: forwards to the board home.
    void Start();
    // login.htm: the login form, in the board's colours, posting to
    // login.asp.
    void LoginForm();
};

// Routes jump.asp, Default.htm and login.htm.
void RegisterSitePages(platform::Router& router);

}  // namespace site
