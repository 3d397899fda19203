// The control panel's addresses, one folder below the board's pages. A page
// of several steps runs the step of its action in its frame, the panel page;
// the member, announcement and archive pages know their steps only in the
// letter case their forms send.
#include "admin/Admin.h"
#include "admin/Upload.h"
#include "core/MessageEditor.h"
#include "platform/Router.h"

namespace admin {
namespace {

using platform::ActionCase;
using platform::FramedPage;

const platform::PageRegistrar kPages[] = {
    {"admin/misc.asp", &Admin::DataMaintenance},
    {"admin/account.asp", &Admin::ImportAccount},
    {"admin/mail.asp", &Admin::EMail},
    {"admin/broadcast.asp", &Admin::Broadcast},
    {"admin/upload.asp", &Admin::FileUp},
    {"admin/jscode.asp", &Admin::JsCode},
    {"admin/analyzer.asp", &Admin::MonthPostAnalyzer},
};

// An unknown action shows the panel page with nothing in it.
const FramedPage kForum("admin/forum.asp", &Admin::Forum, [](Admin&, core::Page&) {},
                        {
                            {"", &Admin::ForumLogin},
                            {"login", [](Admin& a, core::Page& p) { a.ForumSummary(p, true); }},
                            {"order", [](Admin& a, core::Page& p) { a.ForumSummary(p, false); }},
                            {"setforums", &Admin::ForumSaveOrder},
                            {"addforums", &Admin::ForumNewForm},
                            {"addnewforum", &Admin::ForumAdd},
                            {"getforum", &Admin::ForumEditForm},
                            {"submitedit", &Admin::ForumSubmitEdit},
                        });

const FramedPage kMembers("admin/member.asp", &Admin::Permissions, &Admin::Permissions_SearchForm,
                          {
                              {"getmatches", &Admin::Permissions_GetMatchs},
                              {"updatepermiss", &Admin::Permissions_updatepermiss},
                              {"getbio4admin", &Admin::Permissions_getbio4admin},
                              {"submitedit", &Admin::Permissions_SubmitEdit},
                          },
                          ActionCase::Exact);

const FramedPage kEdit("admin/edit.asp", &Admin::Edit, &Admin::Edit_Menu,
                       {
                           {"domessageedit", [](Admin& a, core::Page&) { a.Edit_DoMeassageEdit(); }},
                           {"submiteditsubject", &Admin::Edit_SubmitEditSubject},
                           {"dodeletethread", &Admin::Edit_DoDeleteThread},
                           {"getexacteditmessage", &Admin::Edit_GetExactEditMessage},
                           {"prunebydate", &Admin::Edit_DeletePost},
                           {"prunebyuser", &Admin::Edit_DeletePost},
                           {"submitprune", &Admin::Edit_SubmitPrune},
                           {"admineditthisforum", &Admin::Edit_AdminEditThisForum},
                           {"geteditthreads", &Admin::Edit_GetEditThreads},
                           {"editfunction", &Admin::Edit_EditFunction},
                       });

const FramedPage kAnnounce("admin/announce.asp", &Admin::Announce, &Admin::Announce_Login,
                           {
                               {"enter", &Admin::Announce_Enter},
                               {"submitannounce", &Admin::Announce_SubmitAnnounce},
                               {"reviewannounce", &Admin::Announce_ReViewAnnounce},
                               {"submitanncedit", &Admin::Announce_submitAnncedit},
                           },
                           ActionCase::Exact);

const FramedPage kArchives("admin/archive.asp", &Admin::Archives, &Admin::Archives_Login,
                           {
                               {"enterarchive", &Admin::Archives_EnterArchive},
                               {"archivecenter", &Admin::Archives_ArchiveCenter},
                           },
                           ActionCase::Exact);

// The host refuses a longer body before the upload page reads it.
const platform::BodyLimit kUploadBody("admin/upload.asp", kUploadBodyLimit);

// The forms that post a message's text.
const platform::BodyLimit kMessageBodies[] = {
    {"admin/edit.asp", core::kPostingFormBodyBytes},
    {"admin/announce.asp", core::kPostingFormBodyBytes},
    {"admin/mail.asp", core::kPostingFormBodyBytes},
    {"admin/broadcast.asp", core::kPostingFormBodyBytes},
};

}  // namespace
}  // namespace admin
