#pragma once
// Admin: the control panel's page object. The panel's pages lie one folder
// below the board's (admin/forum.asp, ...); each calls one page method.
// The frame here is what every panel page shares: its error page, the two
// identity checks that record the panel login in the session and the page
// run with its head and closing tags. The forms the pages write are in
// admin/forms/, one header per family of pages. Pages are registered in
// admin/AdminRoutes.cpp; a page of several steps has a frame method
// (Forum, Permissions, ...) that runs the step the router chose in the
// panel page.
#include <cstdint>
#include <functional>
#include <string>

#include "core/BoardPage.h"
#include "core/Visitor.h"

namespace platform {
class Connection;
class Transaction;
}

namespace admin {

// The refusal of a panel step to a visitor whose rights do not reach it.
inline constexpr const char* kRefused = "对不起，你不能进行该操作！";

class Admin : public core::BoardPage {
public:
    using PanelStep = std::function<void(core::Page&)>;

    // ---- Frame (admin/AdminFrame.cpp) ----
    // The panel's message page: the page head and the message, nothing else.
    void ErrorForm(const std::string& errormessage) override;
    // True for a member with this password whose status is administrator.
    bool IsAdministrator(const std::string& UserName, const std::string& Password, platform::Connection& con);
    // True for an administrator or a moderator. On success `ForumList` holds
    // the forums the user may manage ("a,b,c"; every forum in display order
    // for an administrator; left as passed when a moderator has none) and
    // `Administrator` (when given) says which of the two the user is.
    bool isAdminOrModerater(const std::string& UserName, const std::string& Password,
                            platform::Connection& con, std::string& ForumList,
                            bool* Administrator = nullptr);

    // ---- Forum setup, forum.asp (admin/ForumSetup.cpp, admin/ForumEdit.cpp) ----
    void Forum(const PanelStep& step);
    void ForumLogin(core::Page& p);
    void ForumSummary(core::Page& p, bool posted);
    void ForumSaveOrder(core::Page& p);
    void ForumNewForm(core::Page& p);
    void ForumAdd(core::Page& p);
    void ForumEditForm(core::Page& p);
    void ForumSubmitEdit(core::Page& p);

    // ---- Members, member.asp (admin/Members.cpp, admin/MemberRecord.cpp) ----
    // Every step but the search form needs an administrator.
    void Permissions(const PanelStep& step);
    void Permissions_SearchForm(core::Page& p);
    void Permissions_GetMatchs(core::Page& p);
    void Permissions_updatepermiss(core::Page& p);
    void Permissions_getbio4admin(core::Page& p);
    void Permissions_SubmitEdit(core::Page& p);

    // ---- Recounts, misc.asp (admin/DataMaintenance.cpp) ----
    void DataMaintenance();

    // ---- Account import, account.asp (admin/AccountImport.cpp) ----
    void ImportAccount();

    // ---- Mass mail, mail.asp (admin/MassMail.cpp) ----
    void EMail();

    // ---- Broadcast message (admin/Broadcast.cpp) ----
    // Stores the message of the request's values for every member or every
    // moderator; "" when stored, else the refusal. A run-time error is shown
    // through ErrorForm and answers "".
    std::string PM();
    // broadcast.asp: the form for PM's values, and its outcome.
    void Broadcast();

    // ---- Post editing centre, edit.asp (admin/EditCentre.cpp; the thread
    // editor in admin/ThreadEditor.cpp, the forum choice and the topic lists
    // in admin/EditLists.cpp). Every step that names a forum or a post keeps
    // a moderator to the forums of his ForumList.
    void Edit(const PanelStep& step);
    void Edit_Menu(core::Page& p);
    void Edit_SubmitEditSubject(core::Page& p);
    void Edit_DoDeleteThread(core::Page& p);
    void Edit_GetExactEditMessage(core::Page& p);
    void Edit_SubmitPrune(core::Page& p);
    void Edit_EditFunction(core::Page& p);
    void Edit_GetEditThreads(core::Page& p);
    void Edit_EditSubject(platform::Connection& con, const std::string& ForumList);
    void Edit_DeleteThread(platform::Connection& con, const std::string& ForumList);
    void Edit_EditPost(platform::Connection& con, std::int32_t Topic, const std::string& ForumList);
    void Edit_DoMeassageEdit();
    void Edit_Prune(const std::string& ForumList);
    void Edit_Edit(const std::string& ForumList);
    void edit_prunesuer(const std::string& ForumList, platform::Connection& con);
    // The topics to prune, by date or by user as the action says.
    void Edit_DeletePost(core::Page& p);
    void Edit_AdminEditThisForum(core::Page& p);

    // ---- Announcements, announce.asp (admin/Announce.cpp, admin/AnnounceEdit.cpp) ----
    // Every step but the login form needs an administrator or a moderator.
    void Announce(const PanelStep& step);
    void Announce_Login(core::Page& p);
    void Announce_Enter(core::Page& p);
    void Announce_CreateAnnouncement(const std::string& ForumList);
    void Announce_SubmitAnnounce(core::Page& p);
    // An administrator may change every announcement, a moderator his own.
    void Announce_EditAnnouncement(platform::Connection& con, bool Administrator);
    void Announce_ReViewAnnounce(core::Page& p);
    void Announce_submitAnncedit(core::Page& p);

    // ---- Archive centre, archive.asp (admin/ArchiveCentre.cpp) ----
    // Every step but the login form needs an administrator or a moderator.
    void Archives(const PanelStep& step);
    void Archives_Login(core::Page& p);
    void Archives_EnterArchive(core::Page& p);
    // An administrator changes and deletes any archive; a moderator only
    // those whose every archived post comes from a forum he moderates.
    void Archives_ArchiveCenter(core::Page& p);

    // ---- Upload, upload.asp (admin/FileUpload.cpp, admin/Upload.h) ----
    void FileUp();
    // ---- News feeds, jscode.asp (admin/NewsFeeds.cpp) ----
    void JsCode();
    // ---- Posts per day of a month, analyzer.asp (admin/PostStatistics.cpp) ----
    void MonthPostAnalyzer();

protected:
    // Writes the page head with `title`, runs `body`, then "</body></html>";
    // a run-time error in the body is shown through ErrorForm.
    void RunPanelPage(const std::string& title, const std::function<void(core::Page&)>& body);

    // The name and password fields of the posted form; none for a request
    // that is no POST. The panel's steps never take them from the cookies.
    core::Credentials PostedLogin() const;
    // The panel login kept in the session, to prefill the forms' login fields.
    std::string SessionUserName();
    std::string SessionPassword();
    core::Credentials SessionLogin();
    // `value` as an attribute value: HTML-encoded between double quotes.
    static std::string Attr(const std::string& value);
    // Text for the page: HTML-encoded.
    static std::string Text(const std::string& value);

    // Refuses the step with `refusal` unless the name and password belong to
    // an administrator.
    void RequireAdministrator(core::Page& p, const std::string& name, const std::string& password,
                              const std::string& refusal);
    struct PanelLeader {
        std::string forums;  // as isAdminOrModerater lists them
        bool administrator = false;
    };
    // Refuses the step with `refusal` unless `login` is an administrator's
    // or a moderator's; else what the login manages.
    PanelLeader RequireLeader(core::Page& p, const core::Credentials& login, const std::string& refusal);

    // Writes `message` through ErrorForm and ends the page body, for the
    // sub-page methods that get the connection rather than the page.
    [[noreturn]] void Refuse(const std::string& message);
    // A request value as a record number: a positive whole number within 32
    // bits, else 0, which no record has.
    static std::int32_t RecordId(const platform::Variant& value);

private:
    void RememberPanelLogin(const std::string& name, const std::string& password,
                            const std::string& status);

    // forum.asp steps
    void ForumSubmitDelete(core::Page& p, const std::string& oldforumname);
    // Commits a change of forums, empties the board's cached jump list
    // and writes the notice.
    void EndForumChange(platform::Transaction& tx);
    void WriteForumDone();

    // PM's work; `stored` tells a stored message from a run-time error.
    std::string StoreBroadcast(bool& stored);

    // edit.asp pieces
    void WriteTopicStep(platform::Connection& con, const std::string& ForumList, bool forDelete);
    std::string ChosenForum(const std::string& ForumList);

    // announce.asp pieces
    // The posted subject, text and dates of an announcement; refuses the
    // step when a text is empty or a date is not a day of the calendar.
    void ReadAnnounceFields(std::string& subject, std::string& content, platform::DateTime& start,
                            platform::DateTime& end);
    void RequireAnnouncementOwner(bool administrator, const std::string& owner);
};

}  // namespace admin
