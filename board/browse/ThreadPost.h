#pragma once
// One post of the thread view: its table row with the author's panel and
// the post itself (header, links, converted text, edit history, signature).
#include <string>

namespace platform {
class Recordset;
class Response;
}  // namespace platform

namespace board {

// The topic's values every post row of a page links with.
struct ThreadTopic {
    long long postid = 0;
    std::string id;          // postid as text
    std::string forum;       // forum name, as stored
    std::string forumUrl;    // URL-encoded
    std::string subject;     // topic subject, as stored
    std::string subjectUrl;  // URL-encoded
    std::string status;      // lower-cased: "open", "close" or ""
};

// Writes the row of the record set's current post; `i` counts the posts of
// the page from 1 and picks the row colour.
void WritePostRow(platform::Response& out, platform::Recordset& rs, const ThreadTopic& topic, int i);

}  // namespace board
