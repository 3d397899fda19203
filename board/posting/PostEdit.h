#pragma once
// Editing and deleting one post, written once for the live posts and the
// archives' copies: the edit form, its handler, and the two-step deletion
// of a topic. What differs between the two is where the rows live
// (PostRows) and the texts and forwarding of each page.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "board/posting/ModerationForm.h"
#include "core/Tarnbell.h"
#include "platform/Variant.h"

namespace platform {
class Connection;
class Recordset;
}  // namespace platform

namespace board {

// One post as the edit pages see it.
struct EditedPost {
    std::int32_t id = 0;
    std::int32_t parentId = 0;  // 0 for a topic
    std::string forum;          // whose leaders may act: the forum the post is (or was) in
    std::string author;
    std::string subject;
    std::string message;
    std::string editHistory;
    std::string ip;             // where it was sent from
    platform::Variant postTime;
    bool smiles = true;
    std::int32_t archiveId = 0;  // an archived copy's archive; 0 for a live post
    std::string archiveName;
    bool IsTopic() const { return parentId == 0; }
    std::int32_t ThreadId() const { return IsTopic() ? id : parentId; }
};

// The post `id` of the record set's current row, from its columns
// parentid, forumname, username, subject, message, edithistory, ip and
// posttime.
EditedPost EditedPostOfRow(platform::Recordset& rs, std::int32_t id);

// Where the posts live. Each call is one statement.
class PostRows {
public:
    virtual ~PostRows() = default;
    // The post with `id`; none when there is no such row.
    virtual std::optional<EditedPost> Find(platform::Connection& con, std::int32_t id) = 0;
    // Stores an edit: the text, the history with its new note and, where
    // the rows keep it, the smilies flag.
    virtual void SaveEdit(platform::Connection& con, std::int32_t id, const std::string& message,
                          const std::string& history, bool smiles) = 0;
    // Gives every post of the thread `thread` the subject.
    virtual void RenameThread(platform::Connection& con, std::int32_t thread, const std::string& subject) = 0;
    // Deletes the post and every post whose parent it is: a topic goes with
    // its replies, a reply alone.
    virtual void DeleteThread(platform::Connection& con, std::int32_t id) = 0;
};

// Table `post`.
class LivePosts : public PostRows {
public:
    std::optional<EditedPost> Find(platform::Connection& con, std::int32_t id) override;
    void SaveEdit(platform::Connection& con, std::int32_t id, const std::string& message, const std::string& history,
                  bool smiles) override;
    void RenameThread(platform::Connection& con, std::int32_t thread, const std::string& subject) override;
    void DeleteThread(platform::Connection& con, std::int32_t id) override;
};

struct Forward {
    std::string url;
    std::string target;
};
// The topic list of a live forum, where the moderation pages forward.
Forward ForumTopicList(const std::string& forum);

// The id a moderation page acts on: `topic` of the request; a value that is
// not a positive 32-bit number is refused with `refusal`.
std::int32_t RequestedPostId(core::Tarnbell& page, core::Page& p, const std::string& refusal = "参数错误！");

// ---- The edit form (EditForm.cpp) ----
struct EditFormShape {
    std::string headerLines;   // the UBB header's text cell (markup)
    std::string hiddenFields;  // HiddenField() pieces: the next action, the post id, ...
    bool smilies = true;       // the rows keep a smilies flag: its check box and help link
};
// Writes the form for editing or deleting `post`, from "<center>" on.
void WriteEditForm(core::Tarnbell& page, const EditedPost& post, const EditFormShape& shape);

// ---- The edit handler (SubmitEdit.cpp) ----
// "[这消息被name编辑过(编辑时间now)]<br>", the note a saved edit appends.
std::string EditNote(const std::string& name);

struct EditHandling {
    LeaderRefusals deleting;     // notMember, and the refusal of a member who is not the author
    std::string mayNotEdit;      // a member who is not the author edits
    std::string emptySubject;
    std::string emptyMessage;
    bool rightsFirst = false;    // rights before the subject and text are looked at
    std::function<Forward(const EditedPost&)> afterDelete;
    std::function<Forward(const EditedPost&)> afterEdit;
};

// Takes the edit form's post: deletes the post (and a topic's replies) or
// saves the edit, for an administrator, a moderator of the post's forum or
// its author; forwards with Wait.
void SubmitPostEdit(core::Tarnbell& page, core::Page& p, PostRows& rows, const EditHandling& how);

// ---- Deleting a topic in two steps (DeleteTopic.cpp) ----
struct ThreadDeletion {
    std::string action;  // the action the form posts back to
    std::function<Forward(const EditedPost&)> afterDelete;
    std::string moreFields = {};  // HiddenField() pieces the form carries back too
};
// The whole page: the form asking who acts, or, on its POST, the delete by
// an administrator or a moderator of the post's forum.
void DeleteThreadPage(core::Tarnbell& page, core::Page& p, PostRows& rows, const ThreadDeletion& how);

}  // namespace board
