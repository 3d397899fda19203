// pm.asp: every private-message handler runs behind PM::Gate; a missing or
// unknown action is the inbox.
#include "core/MessageEditor.h"
#include "pm/PM.h"
#include "platform/Router.h"

namespace pm {
namespace {

const platform::FramedPage kPm("pm.asp", &PM::Gate, &PM::inbox,
                               {
                                   {"newpm", &PM::newpm},
                                   {"addtoignorelist", &PM::AddToIgnoreList},
                                   {"inbox", &PM::inbox},
                                   {"deleteoutbox", &PM::DeleteOutbox},
                                   {"outbox", &PM::outbox},
                                   {"ignorelist", &PM::IgnoreList},
                                   {"deleteignorelist", &PM::DeleteIgnoreList},
                                   {"postpm", &PM::PostPM},
                                   {"replypm", &PM::ReplyPM},
                                   {"viewpm", [](PM& pm) { pm.ViewPM("inbox"); }},
                                   {"deletepm", &PM::DeletePM},
                                   {"viewoutbox", [](PM& pm) { pm.ViewPM("outbox"); }},
                               });
// The message view's link that asks to put its sender on the ignore list:
// a page of another site has no business with it.
const platform::ChangingLink kIgnoreLink("pm.asp", "addtoignorelist");

// A message's text.
const platform::BodyLimit kMessageBody("pm.asp", core::kPostingFormBodyBytes);

}  // namespace
}  // namespace pm
