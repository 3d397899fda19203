// pm.asp: every private-message page goes through PM::Run.
#include "pm/PM.h"
#include "platform/Router.h"

namespace pm {
namespace {

const platform::PageRegistrar kPm("pm.asp", &PM::Run);

}  // namespace
}  // namespace pm
