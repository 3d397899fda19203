#pragma once
// Tarnbell: the public board's page base. Beside the common page frame
// (BoardPage) it has what the board's pages share: the CLUB header, the
// jump lists, the online list, the login and the forum access checks.
// Each area declares its pages on a class of its own that derives from
// Tarnbell, in its own folder, and registers their addresses there
// (platform/Router.h says how).
#include <optional>
#include <string>
#include <vector>

#include "core/BoardPage.h"
#include "core/Visitor.h"

namespace core {

// What a page writes first (Tarnbell::StartPage).
struct PageStart {
    std::string location = {};  // what the online list shows the visitor doing
    std::string title = {};     // the page title, as markup (encode names in it)
    std::string opening = {};   // written right after the page head, e.g. "<center>"
    // The page's own board header in the UBB style; none when the page
    // writes its header later itself (WriteBoardHeader).
    std::optional<std::string> ubbHeader = std::nullopt;
};

// A forum as a visitor asks to enter it (Tarnbell::CheckForum).
struct ForumAdmission {
    bool exists = false;
    std::string rule;    // lower case; "private" for a private forum
    std::string master;  // the moderators as stored, "诚征版主" when none
    // A forum that is not private, or a private one this session was
    // admitted to (IDCheck).
    bool admitted = false;
};

class Tarnbell : public BoardPage {
public:
    // ---- Page start (core/PageStart.cpp) ----
    // Records the visitor in the online list, then writes the page head
    // with `title`, `opening`, and the board header of the page style
    // unless the page writes it later. Returns the name the online list
    // shows for the visitor ("GUEST " for a guest).
    std::string StartPage(Page& p, const PageStart& start);
    // The online-list part alone, for a page that must check something
    // before its head; returns what StartPage returns.
    std::string RecordVisit(Page& p, const std::string& location);
    // The board header of the page style: `ubbHeader` for "UBB", the CLUB
    // header for "CLUB", nothing for any other style.
    void WriteBoardHeader(const std::string& ubbHeader);
    std::string GetClubHeader();
    // Who the visitor is (core/Visitor.h), asked once for the page.
    const Credentials& Visitor(Page& p);

    // ---- Jump lists (core/JumpBox.cpp, core/ArchiveJumpList.cpp) ----
    // `forum` is a forum name, or an archive number when isArchive.
    std::string JumpTo(platform::Connection& con, const platform::Variant& forum,
                       bool isArchive = false);
    std::string GetArchiveJumpList(platform::Connection& con);

    // ---- Online list (core/OnlineList.cpp) ----
    // Records the visitor at `ip` doing `location`, as `member` (empty: a
    // guest); returns the name the list shows.
    std::string UpdateOnline(const std::string& ip, const std::string& location, const std::string& member);

    // ---- Login and forum access (core/Access.cpp) ----
    // login.asp
    void Login();
    // The forum's rule and moderators and whether this visitor may enter.
    // Only CheckForum and IDCheck touch the session's admissions.
    ForumAdmission CheckForum(platform::Connection& con, const std::string& forumname);
    // The identity form a visitor not admitted to a private forum gets.
    void PrivateForum(const std::string& forumname);
    // The private forums this session was admitted to, for the lists that
    // gather rows of many forums (core/ArchiveAccess.h).
    std::vector<std::string> AdmittedPrivateForums(platform::Connection& con);
    // ubbmisc.asp?action=idcheck: the private-forum identity form's post.
    void IDCheck();
    platform::Variant GetSessionLoginDT();

private:
    std::optional<Credentials> visitor_;
};

}  // namespace core
