#pragma once
// The posting pages of posting.asp: the new-topic form and its handler, the
// reply forms (plain and quoting a post) and their handler; and the
// moderation of posts and topics.
#include <cstdint>
#include <optional>
#include <string>

#include "board/posting/PostingRule.h"
#include "core/Tarnbell.h"

namespace board {

class PostingPages : public core::Tarnbell {
public:
    // action=newtopic: the form for a new topic of `Forum` (NewTopic.cpp).
    void NewTopic();
    // action=posttopic: stores the topic (PostTopic.cpp).
    void posttopic();
    // action=reply and action=replywquote: the reply form with the thread
    // for review, empty or quoting the post `quotenum` (ReplyForm.cpp).
    void reply();
    void replywquote();
    // action=postreply: stores the reply and mails the topic's author when
    // the topic asked for it (PostReply.cpp).
    void PostReply();

    // ---- Moderation ----
    // action=editpost: the form for editing or deleting a post (EditForm.cpp).
    void EditPost();
    // action=submitedit: deletes the post or saves the edit (SubmitEdit.cpp).
    void SubmitEdit();
    // action=deletepost: deletes a topic with its replies, in two steps
    // (DeleteTopic.cpp).
    void DeletePost();
    // action=closethread, openthread, processclose: closes or reopens a
    // topic, in two steps (CloseThread.cpp).
    void CloseThread();
    // action=copypost: a post's text to copy (CopyPost.cpp).
    void CopyPost();
    // archive.asp, action=transfer and submittransfer with `Option`: moves a
    // topic to another forum or files it into an archive (Transfer.cpp).
    void Transfer();
    // ubbmisc.asp, action=getip: the address a post came from (GetIP.cpp).
    void GetIP();

protected:
    // ---- Shared by the forms and the handlers (PostingGate.cpp) ----
    // Refuses `who` when the posting rule of `forum` leaves them out.
    void CheckPostingRule(core::Page& p, PostKind kind, const std::string& forum, const core::ForumAdmission& entry,
                          core::Credentials who);
    // For the forms: a logged-in visitor whom the rule leaves out is refused
    // before typing; anyone else learns it from the handler.
    void RefuseLoggedInVisitorByRule(core::Page& p, PostKind kind, const std::string& forum,
                                     const core::ForumAdmission& entry);

    // The post a reply answers, read by its id; none when no row has it.
    struct AnsweredPost {
        bool isTopic = false;  // a reply's id names no topic
        bool closed = false;
        bool notify = false;   // its author asked for a mail on replies
        std::string forum;
        std::string author;
        std::string message;
    };
    static std::optional<AnsweredPost> ReadAnsweredPost(platform::Connection& con, std::int32_t id);

    // ---- The handlers' common checks (PostingChecks.cpp) ----
    struct Submission {
        core::Credentials poster;  // trimmed
        std::string subject;       // trimmed
        std::string message;       // trimmed
        std::int16_t icon = 1;
        bool smiles = true;
        bool signature = false;
        bool notify = false;
        std::int32_t topic = 0;    // replies: the topic answered
    };
    // Reads what a posting form sent and refuses, in this order: an address
    // on the reject list, a malformed topic or icon, missing credentials,
    // missing text, a repeat within SubmitInterval, an unknown member, a
    // member barred from posting.
    Submission CheckSubmission(core::Page& p, PostKind kind);

private:
    void ReplyPage(bool quoting);
};

}  // namespace board
