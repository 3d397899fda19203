#pragma once
// PM: the private messages ("悄悄话") of pm.asp. Every request passes the
// gate, which lets a proven member in and runs the handler of its action
// (pm/PmRoutes.cpp); the handlers keep the member's inbox, outbox and
// ignore list.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "core/BoardPage.h"
#include "core/Visitor.h"

namespace platform {
class Connection;
}

namespace pm {

struct Mailbox;      // pm/Mailboxes.cpp
struct ComposeForm;  // pm/Compose.cpp

class PM : public core::BoardPage {
public:
    PM();
    ~PM() override;

    // ---- Frame and login (pm/Frame.cpp, pm/Login.cpp) ----
    // pm.asp: the login gate around every handler; the object's connection
    // is open while `step` runs.
    void Gate(const std::function<void()>& step);
    // The login form of private messages.
    void Login();
    // "" when the object's connection is open, else why it is not.
    std::string OpenConnection();
    void CloseConnection();
    // The link row of private messages.
    void GetNavbar();
    // The forwarding page, closed with "</body></html>".
    void Wait(const std::string& tip, const std::string& url, const std::string& target, std::uint8_t waittime = 2);
    void ErrorForm(const std::string& errormessage) override;

    // ---- Mailboxes (pm/Mailboxes.cpp) ----
    void inbox();
    void outbox();
    void DeletePM();
    void DeleteOutbox();

    // ---- Reading (pm/ViewPM.cpp): BoxType "outbox" or any other for the inbox.
    void ViewPM(const std::string& BoxType = "inbox");

    // ---- Composing and sending (pm/Compose.cpp) ----
    void newpm();
    void ReplyPM();
    void PostPM();

    // ---- Ignore list (pm/IgnoreList.cpp) ----
    void IgnoreList();
    void AddToIgnoreList();
    void DeleteIgnoreList();

private:
    // The CLUB header: the logo above the link row.
    std::string GetClubNavbar();
    // The login form's post: proves the member, stores the login, forwards.
    void VerifyLogin();

    // The page header in the board's style: in UBB the logo beside
    // `titleCell` (and the link row when `links`), in CLUB GetClubNavbar.
    // `alwaysUbb` writes the UBB header whatever the style.
    void WriteHeader(const std::string& titleCell, bool links, bool alwaysUbb = false);
    // The object's connection; error 91 while it is not open.
    platform::Connection& Con();

    void ShowMailbox(const Mailbox& box);
    void DeleteFromMailbox(const Mailbox& box);
    void WriteComposePage(const ComposeForm& form);

    std::unique_ptr<platform::Connection> con_;
    // The member the gate proved, the name as the member table holds it,
    // with the session's password.
    core::Credentials member_;
};

}  // namespace pm
