// The forum core's own pages.
#include "core/Tarnbell.h"
#include "platform/Router.h"

namespace core {
namespace {

const platform::PageRegistrar kLogin("login.asp", &Tarnbell::Login);
const platform::ActionRegistrar kIdCheck("ubbmisc.asp", "idcheck", &Tarnbell::IDCheck);

}  // namespace
}  // namespace core
