#pragma once
// The public reading pages and the mail pages of the board. Their
// addresses are registered in board/browse/BrowseRoutes.cpp.
#include <functional>

#include "core/Tarnbell.h"

namespace board {

class BrowsePages : public core::Tarnbell {
public:
    // Board home and forum topic list (Home.cpp, TopicList.cpp).
    void Home();
    void list();
    // Thread view (ThreadView.cpp).
    void Detail();
    // Announcements of a forum (Announcements.cpp).
    void Getannounce();
    // Topic rankings (TopicRankings.cpp), member ranking (MemberRanking.cpp),
    // who is online (WhoIsOnline.cpp).
    void HotTopic();
    void MoreReply();
    void NewlyTopic();
    void Top();
    void Online();
    // The search form and its lists (Search*.cpp): each step of search.asp
    // runs in Search's page.
    void Search(const std::function<void(core::Page&)>& step);
    void SearchForm(core::Page& p);
    void SimpleSearch(core::Page& p);
    void DailySearch(core::Page& p);
    void UserSearch(core::Page& p);
    void SearchGotoPage(core::Page& p);
    void SearchBrowser(core::Page& p);
    // Send a page to a friend (SendThread.cpp), mail a post (Pack.cpp).
    void SendThread();
    void Pack();
};

}  // namespace board
