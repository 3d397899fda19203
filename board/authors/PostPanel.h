#pragma once
// The pieces of a post's table row that the live and the archived thread
// views share: the author's panel, the post icon and the links about the
// author. Names, nicknames, places and addresses members typed are written
// as text; home pages and ICQ numbers are checked before they are linked.
#include <string>

#include "platform/Variant.h"

namespace platform {
class Recordset;
class Response;
}  // namespace platform

namespace board {

// The browser function the ICQ links call, written once in the page head.
inline constexpr const char* kIcqWindowScript =
    "<script language=javascript>function winopen(icqwindow){window.open(icqwindow,\"_blank\","
    "\"toolbar=no,location=no,menubar=no,scrollbars=yes,width=450,height=250,resizeable=yes,"
    "status=no\");}</script>";

// The list of a thread's pages, "这个话题共有n页：" and a link to each but
// the current, `pageHref` with "&page=" and the number; "" for one page.
std::string ThreadPageList(const std::string& pageHref, int page, int pageCount);

// The author's columns PostValues reads, for a select list that joins the
// author's row as "register" (left outer join: the author may be gone).
inline constexpr const char* kAuthorColumns =
    "register.oicq, register.location, register.emailview, register.status as userstatus, register.email,"
    " register.postcount, register.icq, register.url as homepage, register.signature, register.signdate,"
    " register.nickname, register.icon as membericon";

// The current row of a thread's record set as the pieces read it: the
// post's postid, parentid, username, ForumName, subject, posticon and
// PostTime, and the author's columns above (null when the author is gone).
struct PostValues {
    explicit PostValues(platform::Recordset& rs);

    platform::Variant& operator[](const char* column) const;
    // An image link with its trailing blank.
    std::string Link(const std::string& href, const std::string& image) const;
    // An alt text naming the author.
    std::string Alt(const std::string& text) const;

    platform::Recordset& rs;
    std::string id;
    std::string user;
    std::string userUrl;
    std::string forumUrl;    // the post's own forum and subject, for its
    std::string subjectUrl;  // edit, favourite and message links
};

// The author's panel cell; `since` labels the sign-up date ("注册：").
void WriteAuthorCell(platform::Response& out, const PostValues& post, const std::string& since);

std::string PostIcon(const PostValues& post);
std::string ProfileLink(const PostValues& post);
std::string EmailLink(const PostValues& post);
std::string HomepageLink(const PostValues& post);
std::string IcqLink(const PostValues& post);
std::string OicqImage(const PostValues& post);
std::string MessageLink(const PostValues& post);
std::string SearchLink(const PostValues& post);

}  // namespace board
