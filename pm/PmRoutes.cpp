// pm.asp: every private-message page goes through PM::Run.
#include "pm/PM.h"
#include "platform/Router.h"

namespace pm {
namespace {

const platform::PageRegistrar kPm("pm.asp", &PM::Run);
// The message view's link that puts its sender on the ignore list.
const platform::ChangingLink kIgnoreLink("pm.asp", "addtoignorelist");

}  // namespace
}  // namespace pm
