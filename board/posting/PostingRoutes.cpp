// The posting and moderation actions of posting.asp, the topic move of
// archive.asp and the poster's address of ubbmisc.asp.
#include "board/posting/PostingPages.h"
#include "core/MessageEditor.h"
#include "platform/Router.h"

namespace board {
namespace {

using platform::ActionRegistrar;

// Posts and edits carry a message's text (archived posts' edits too).
const platform::BodyLimit kPostingBody("posting.asp", core::kPostingFormBodyBytes);

const ActionRegistrar kActions[] = {
    {"posting.asp", "newtopic", &PostingPages::NewTopic},
    {"posting.asp", "posttopic", &PostingPages::posttopic},
    {"posting.asp", "reply", &PostingPages::reply},
    {"posting.asp", "replywquote", &PostingPages::replywquote},
    {"posting.asp", "postreply", &PostingPages::PostReply},
    {"posting.asp", "editpost", &PostingPages::EditPost},
    {"posting.asp", "submitedit", &PostingPages::SubmitEdit},
    {"posting.asp", "deletepost", &PostingPages::DeletePost},
    {"posting.asp", "closethread", &PostingPages::CloseThread},
    {"posting.asp", "openthread", &PostingPages::CloseThread},
    {"posting.asp", "processclose", &PostingPages::CloseThread},
    {"posting.asp", "copypost", &PostingPages::CopyPost},
    {"archive.asp", "transfer", &PostingPages::Transfer},
    // archive.asp's other form posts the same action without `Option`.
    {"archive.asp", "submittransfer", platform::WhenField("Option"), &PostingPages::Transfer},
    {"ubbmisc.asp", "getip", &PostingPages::GetIP},
};

}  // namespace
}  // namespace board
