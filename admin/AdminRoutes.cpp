// The control panel's addresses, one folder below the board's pages.
#include "admin/Admin.h"
#include "admin/Upload.h"
#include "platform/Router.h"

namespace admin {
namespace {

const platform::PageRegistrar kPages[] = {
    {"admin/forum.asp", &Admin::Forum},
    {"admin/member.asp", &Admin::Permissions},
    {"admin/misc.asp", &Admin::DataMaintenance},
    {"admin/account.asp", &Admin::ImportAccount},
    {"admin/mail.asp", &Admin::EMail},
    {"admin/broadcast.asp", &Admin::Broadcast},
    {"admin/edit.asp", &Admin::Edit},
    {"admin/announce.asp", &Admin::Announce},
    {"admin/archive.asp", &Admin::Archives},
    {"admin/upload.asp", &Admin::FileUp},
    {"admin/jscode.asp", &Admin::JsCode},
    {"admin/analyzer.asp", &Admin::MonthPostAnalyzer},
};

// The host refuses a longer body before the upload page reads it.
const platform::BodyLimit kUploadBody("admin/upload.asp", kUploadBodyLimit);

}  // namespace
}  // namespace admin
