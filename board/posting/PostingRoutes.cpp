// The posting actions of posting.asp.
#include "board/posting/PostingPages.h"
#include "platform/Router.h"

namespace board {
namespace {

using platform::ActionRegistrar;

const ActionRegistrar kActions[] = {
    {"posting.asp", "newtopic", &PostingPages::NewTopic},
    {"posting.asp", "posttopic", &PostingPages::posttopic},
    {"posting.asp", "reply", &PostingPages::reply},
    {"posting.asp", "replywquote", &PostingPages::replywquote},
    {"posting.asp", "postreply", &PostingPages::PostReply},
};

}  // namespace
}  // namespace board
