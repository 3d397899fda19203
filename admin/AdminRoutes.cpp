// The control panel's addresses, one folder below the board's pages.
#include "admin/Admin.h"
#include "platform/Router.h"

namespace admin {
namespace {

const platform::PageRegistrar kPages[] = {
    {"admin/forum.asp", &Admin::Forum},
    {"admin/member.asp", &Admin::Permissions},
    {"admin/misc.asp", &Admin::DataMaintenance},
};

}  // namespace
}  // namespace admin
