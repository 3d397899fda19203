#pragma once
// Admin: the control panel's page object. The panel's pages lie one folder
// below the board's (admin/forum.asp, ...); each calls one page method.
// The frame here is what every panel page shares: its error page, the two
// identity checks that record the panel login in the session, the page
// run with its head and closing tags, and the login fields of its forms.
// Pages are registered in admin/AdminRoutes.cpp.
#include <functional>
#include <string>

#include "core/BoardPage.h"

namespace platform {
class Connection;
class Transaction;
}

namespace admin {

class Admin : public core::BoardPage {
public:
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
    void Forum();

    // ---- Members, member.asp (admin/Members.cpp, admin/MemberRecord.cpp) ----
    void Permissions();
    void Permissions_GetMatchs(platform::Connection& con);
    void Permissions_updatepermiss(platform::Connection& con);
    void Permissions_getbio4admin(platform::Connection& con);
    void Permissions_SubmitEdit(platform::Connection& con);

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

protected:
    // Writes the page head with `title`, runs `body`, then "</body></html>";
    // a run-time error in the body is shown through ErrorForm.
    void RunPanelPage(const std::string& title, const std::function<void(core::Page&)>& body);

    // The panel login kept in the session, to prefill the forms' login fields.
    std::string SessionUserName();
    std::string SessionPassword();
    // `value` as an attribute value: HTML-encoded between double quotes.
    static std::string Attr(const std::string& value);
    // Text for the page: HTML-encoded.
    static std::string Text(const std::string& value);
    // The name and password rows of the panel's tabled forms, the name
    // prefilled from the session's panel login, the password too when
    // `prefillPassword`.
    void WriteLoginRows(bool prefillPassword);

    // Refuses the step with `refusal` unless the name and password belong to
    // an administrator.
    void RequireAdministrator(core::Page& p, const std::string& name, const std::string& password,
                              const std::string& refusal);

private:
    void RememberPanelLogin(const std::string& name, const std::string& password,
                            const std::string& status);

    // forum.asp steps
    void ForumLoginForm();
    void ForumSummary(core::Page& p, bool posted);
    void ForumSaveOrder(core::Page& p);
    void ForumNewForm(core::Page& p);
    void ForumAdd(core::Page& p);
    void ForumEditForm(core::Page& p);
    void ForumSubmitEdit(core::Page& p);
    void ForumSubmitDelete(core::Page& p, const std::string& oldforumname);
    void WriteForumIdentityBlock();
    void WriteForumTable(platform::Connection& con, const std::string& name, const std::string& catalog,
                         const std::string& restrict, const std::string& password,
                         const std::string& descript, const std::string& moderatorCell);
    // Commits a change of forums, empties the board's cached jump list
    // and writes the notice.
    void EndForumChange(platform::Transaction& tx);
    void WriteForumDone();

    // member.asp search form
    void WriteMemberSearchForm();

    // misc.asp form
    void WriteMaintenanceForm();

    void WriteImportForm();
    void WriteMailForm();

    // PM's work; `stored` tells a stored message from a run-time error.
    std::string StoreBroadcast(bool& stored);
    void WriteBroadcastForm();
};

}  // namespace admin
