#pragma once
// Changes to stored posts that the board's moderation and the control
// panel's post editing share: the note an edit leaves on a post, and the
// removal of a post with its replies.
#include <string>

namespace platform {
class Connection;
}

namespace core {

// The note appended to a post's edit history when `editor` saves it now:
// "[这消息被<editor>编辑过(编辑时间<FormatPostTime(now)>)]<br>". The name is
// written HTML-encoded: the history is shown as stored.
std::string EditNote(const std::string& editor);

// Deletes the post and, when it is a topic, all its replies, in one
// statement; the triggers keep every counter true. Returns the rows removed.
long DeletePostAndReplies(platform::Connection& con, long long postid);

}  // namespace core
