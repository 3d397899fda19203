#pragma once
// Tarnbell: the public board's page base. Beside the common page frame
// (BoardPage) it has what the board's pages share: the CLUB header, the
// jump lists, the online list, the login and the forum access checks.
// Each area declares its pages on a class of its own that derives from
// Tarnbell, in its own folder, and registers their addresses there
// (platform/Router.h says how).
#include <string>

#include "core/BoardPage.h"

namespace core {

class Tarnbell : public BoardPage {
public:
    // ---- Page frame (core/PageFrame.cpp) ----
    std::string GetClubHeader();

    // ---- Jump lists (core/JumpBox.cpp, core/ArchiveJumpList.cpp) ----
    // `forum` is a forum name, or an archive number when isArchive.
    std::string JumpTo(platform::Connection& con, const platform::Variant& forum,
                       bool isArchive = false);
    std::string GetArchiveJumpList(platform::Connection& con);

    // ---- Online list (core/OnlineList.cpp) ----
    std::string UpdateOnline(const std::string& ip, const std::string& location);

    // ---- Login and forum access (core/Access.cpp) ----
    // login.asp
    void Login();
    bool CheckForum(platform::Connection& con, const std::string& forumname);
    void PrivateForum(const std::string& forumname);
    // ubbmisc.asp?action=idcheck: the private-forum identity form's post.
    void IDCheck();
    platform::Variant GetSessionLoginDT();

    // Set by CheckForum for the page that called it.
    std::string CurrentForumRestrict;  // lower case; "private" for a private forum
    std::string CurrentForumMaster;
};

}  // namespace core
