#pragma once
// The members' own pages: the rules page and registration (signup.asp),
// profile editing (profile.asp), personal options (option.asp), the lost
// password (ubbmisc.asp?action=lostpw) and the ICQ number an author panel
// links (ubbmisc.asp?action=icqmessage); the member list (member.asp), a
// member's page (viewuser.asp), favourites (favor.asp, showfavor.asp) and
// forum subscriptions (subscibe.asp).
#include <functional>
#include <string>

#include "core/Tarnbell.h"

namespace platform {
class Recordset;
}

namespace board {

class MemberPages : public core::Tarnbell {
public:
    // signup.asp: the rules (no action), the form ("Agree"), the handler
    // ("RegSubmit"); Signup.cpp and RegSubmit.cpp.
    void Agree();
    void Signup();
    // The rules' two buttons: "同意" leads to the form, "不同意" back to
    // the board home.
    void SignupOrLeave();
    void RegSubmit();
    // profile.asp: login, edit form and save (Profile.cpp), each step in
    // Profile's page.
    void Profile(const std::function<void(core::Page&)>& step);
    void ProfileLogin(core::Page& p);
    void ProfileEditForm(core::Page& p);
    void SaveProfile(core::Page& page);
    // option.asp: the name-storage and day-filter cookies (Options.cpp).
    void TarnbellOption();
    // ubbmisc.asp?action=lostpw: name and password mailed (LostPassword.cpp).
    void lostpw();
    // ubbmisc.asp?action=icqmessage: a member's ICQ number (IcqNumber.cpp).
    void IcqMessage();
    // subscibe.asp: the forums with the member's ticks; a POST replaces
    // them (Subscriptions.cpp).
    void subscibe();
    // The member's subscription rows as GetRows gives them (column 0 the
    // name, 1 the forum), Empty when there are none.
    platform::Variant GetSubscibeList(const platform::Variant& UserName);
    // member.asp: the member directory (MemberList.cpp).
    void MemberList();
    // viewuser.asp: one member's public profile (MemberView.cpp).
    void ViewUser();
    // favor.asp adds a topic to the member's favourites, showfavor.asp
    // lists and deletes them (Favourites.cpp).
    void Favor();
    void Showfavor();

private:
    void WriteSignupStart(core::Page& p);
    // The head and board header of favor.asp's forms; `forum` and `subject`
    // as HTML.
    void WriteFavorHead(const std::string& forum, const std::string& subject);
    void WriteProfileForm(platform::Recordset& member);
};

}  // namespace board
