#pragma once
// Tarnbell: the public board's page object. The site creates one per
// request, OnStartPage loads the settings, the route calls one page method.
//
// The forum core (core/) defines the page start, the frame pieces and the
// access checks below. Each later subsystem adds its page methods in its own
// section, defined in its own folder (board/browse/*.cpp and so on); every
// page method ends through RunPage (core/PageTail.h).
#include <cstdint>
#include <functional>
#include <string>

#include "core/PageTail.h"
#include "platform/PageObject.h"
#include "platform/Variant.h"

namespace platform {
class Connection;
}

namespace core {

class Tarnbell : public platform::PageObject {
public:
    // ---- Page start (core/Tarnbell.cpp) ----
    // Keeps the request's objects (PageObject), then loads the settings.
    // OnEndPage is PageObject's.
    void OnStartPage(platform::ScriptingContext& context) override;
    // Replaces the thread's connection string until the next page start.
    void ConnectionString(const std::string& value);

    // Runs a page body and its shared tail (core/PageTail.h).
    void RunPage(Closing closing, const std::function<void(Page&)>& body);

    // ---- Page frame (core/PageFrame.cpp) ----
    // Each clears the response and writes a short page of its own.
    void ErrorForm(const std::string& errormessage);
    platform::Variant MessageWithJumpTo(platform::Connection& con, const std::string& forumname,
                                        const std::string& message, bool isArchive = false);
    // Forwards to `url` only when it is a relative address of this board,
    // else to "default.asp".
    void Wait(const std::string& tip, const std::string& url, const std::string& target,
              std::uint8_t waittime = 2);
    std::string GetClubHeader();

    // ---- Pager (core/Pager.cpp) ----
    void PageStyle(std::int32_t recordCount, std::int16_t page, std::int16_t pageCount,
                   std::int16_t pageSize, const std::string& addon = "");

    // ---- Jump lists (core/JumpBox.cpp, core/ArchiveJumpList.cpp) ----
    // `forum` is a forum name, or an archive number when isArchive.
    std::string JumpTo(platform::Connection& con, const platform::Variant& forum,
                       bool isArchive = false);
    std::string GetArchiveJumpList(platform::Connection& con);

    // ---- Online list (core/OnlineList.cpp) ----
    std::string UpdateOnline(const std::string& ip, const std::string& location);

    // ---- Login and forum access (core/Access.cpp) ----
    void Login();
    bool CheckForum(platform::Connection& con, const std::string& forumname);
    void PrivateForum(const std::string& forumname);
    void IDCheck();
    platform::Variant GetSessionLoginDT();
    bool PostSubmitCheck();

    // Set by CheckForum for the page that called it.
    std::string CurrentForumRestrict;  // lower case; "private" for a private forum
    std::string CurrentForumMaster;

    // ---- Board browsing (board/browse) ----
    // Topic rankings (TopicRankings.cpp), member ranking (MemberRanking.cpp),
    // who is online (WhoIsOnline.cpp).
    void HotTopic();
    void MoreReply();
    void NewlyTopic();
    void Top();
    void Online();
    // Thread view: newsdetail.asp (board/browse/ThreadView.cpp).
    void Detail();
    // Announcements of a forum: ubbmisc.asp?action=getannounce
    // (board/browse/Announcements.cpp).
    void Getannounce();
    // Board home and forum topic list (Home.cpp, TopicList.cpp).
    void Home();
    void list();

    // search.asp: the search form and its lists (board/browse/Search*.cpp).
    void Search();

    // Send a page to a friend (SendThread.cpp), mail a post (Pack.cpp).
    void SendThread();
    void Pack();

    // ---- Members and personal features (board/members) ----

    // ---- Posting and topic moderation (board/posting) ----

    // ---- Topic archives (board/archives) ----
};

}  // namespace core
