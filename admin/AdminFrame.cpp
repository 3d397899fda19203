// The control panel's frame: its message page, the identity checks and the
// panel login they keep in the session.
#include "admin/Admin.h"

#include "admin/ForumRules.h"
#include "core/MemberCheck.h"
#include "core/PageFrame.h"
#include "core/Settings.h"
#include "platform/Charset.h"
#include "platform/Connection.h"
#include "platform/Recordset.h"
#include "platform/Strings.h"

namespace admin {

namespace {

// The member's status lower-cased, or "" when no member has this name and
// password (a null status reads as "").
bool FindMember(platform::Connection& con, const std::string& name, const std::string& password,
                std::string& status) {
    platform::Recordset rs;
    if (!core::OpenMember(rs, con, "status", name, password)) return false;
    const platform::Variant stored = rs.Fields("status");
    status = stored.isNull() ? "" : platform::LCase(stored.str());
    return true;
}

}  // namespace

void Admin::ErrorForm(const std::string& errormessage) {
    platform::Response& out = Response();
    out.Clear();
    out.Write(core::PageHead(core::CurrentSettings().BBName));
    out.Write("<table border=0 width=" + core::CurrentSettings().TableWidth + " >");
    out.Write("<tr ><td>");
    out.Write("<br><br><center><p><h3>" + errormessage + "</h3></h3>");
    out.Write("</td></tr>");
    out.Write("</table>");
}

// A login that stores another identity gives the session a new id, so that
// an id planted before it is worthless after it. The later steps of the
// same login keep the id.
void Admin::RememberPanelLogin(const std::string& name, const std::string& password,
                               const std::string& status) {
    const bool newIdentity = Session()("UserNamecp").str() != name || Session()("Passwordcp").str() != password;
    Session().Set("UserNamecp", name);
    Session().Set("Passwordcp", password);
    Session().Set("Status", status);
    if (newIdentity) Session().RenewId();
}

bool Admin::IsAdministrator(const std::string& UserName, const std::string& Password,
                            platform::Connection& con) {
    std::string status;
    if (!FindMember(con, UserName, Password, status) || status != "administrator") return false;
    RememberPanelLogin(UserName, Password, "administrator");
    return true;
}

bool Admin::isAdminOrModerater(const std::string& UserName, const std::string& Password,
                               platform::Connection& con, std::string& ForumList, bool* Administrator) {
    std::string status;
    if (!FindMember(con, UserName, Password, status)) return false;
    if (status != "administrator" && status != "moderater") return false;
    RememberPanelLogin(UserName, Password, status);

    const bool isAdministrator = status == "administrator";
    if (Administrator) *Administrator = isAdministrator;
    platform::Recordset rs;
    if (isAdministrator)
        rs.Open("select forumname from forum order by sequence ", con);
    else
        rs.Open("select forum from moderated where moderater=? ", con, {UserName});
    std::string list = rs.GetString("", ",", "");
    if (!list.empty()) {
        list.pop_back();
        ForumList = list;
    }
    return true;
}

void Admin::RunPanelPage(const std::string& title, const std::function<void(core::Page&)>& body) {
    RunPage(core::Closing::BodyOnly, [&](core::Page& p) {
        // The panel's forms carry the session's panel login, its password too.
        core::KeepOutOfCaches(Response());
        Response().Write(core::PageHead(title));
        body(p);
    });
}

core::Credentials Admin::PostedLogin() const { return core::PostedCredentials(Request()); }

std::string Admin::SessionUserName() { return Session()("UserNamecp").str(); }
std::string Admin::SessionPassword() { return Session()("Passwordcp").str(); }
core::Credentials Admin::SessionLogin() { return {SessionUserName(), SessionPassword()}; }
std::string Admin::Attr(const std::string& value) { return platform::QuotedAttribute(value); }
std::string Admin::Text(const std::string& value) { return platform::HtmlEncode(value); }

void Admin::RequireAdministrator(core::Page& p, const std::string& name, const std::string& password,
                                 const std::string& refusal) {
    if (!IsAdministrator(name, password, p.Db())) p.Refuse(refusal);
}

Admin::PanelLeader Admin::RequireLeader(core::Page& p, const core::Credentials& login,
                                       const std::string& refusal) {
    PanelLeader leader;
    if (!isAdminOrModerater(login.name, login.password, p.Db(), leader.forums, &leader.administrator))
        p.Refuse(refusal);
    return leader;
}

void Admin::Refuse(const std::string& message) {
    ErrorForm(message);
    throw core::PageStopped{};
}

std::int32_t Admin::RecordId(const platform::Variant& value) {
    std::int32_t id = 0;
    if (value.isNull() || !ParseWholeNumber(value.str(), id) || id < 0) return 0;
    return id;
}

}  // namespace admin
