// The addresses of the members' pages.
#include "board/members/MemberPages.h"
#include "platform/Router.h"

namespace board {
namespace {

using platform::ActionRegistrar;
using platform::PageRegistrar;

const PageRegistrar kPages[] = {
    {"option.asp", &MemberPages::TarnbellOption},
    {"subscibe.asp", &MemberPages::subscibe},
    {"member.asp", &MemberPages::MemberList},
    {"viewuser.asp", &MemberPages::ViewUser},
    {"favor.asp", &MemberPages::Favor},
    {"showfavor.asp", &MemberPages::Showfavor},
};

// Any other action shows the page's head only.
const platform::FramedPage kProfile("profile.asp", &MemberPages::Profile, [](MemberPages&, core::Page&) {},
                                    {
                                        {"", &MemberPages::ProfileLogin},
                                        {"chkuser", &MemberPages::ProfileEditForm},
                                        {"check", &MemberPages::SaveProfile},
                                    });
// "favor.asp?id=N" only asks, but a page of another site has no business
// with it either.
const platform::ChangingLink kFavorLink("favor.asp");

// signup.asp: the rules without an action, then the form, then the
// handler; any other action is an unknown page.
const ActionRegistrar kActions[] = {
    {"signup.asp", "", &MemberPages::Agree},
    {"signup.asp", "Agree", &MemberPages::SignupOrLeave},
    {"signup.asp", "RegSubmit", &MemberPages::RegSubmit},
    {"ubbmisc.asp", "lostpw", &MemberPages::lostpw},
    {"ubbmisc.asp", "icqmessage", &MemberPages::IcqMessage},
};

}  // namespace
}  // namespace board
