// The frame of the private-message pages: the login gate, the object's
// connection, the link row and headers, the forwarding and error pages.
#include <memory>

#include "core/PageFrame.h"
#include "core/Settings.h"
#include "pm/MemberProof.h"
#include "pm/PM.h"
#include "platform/Connection.h"
#include "platform/Error.h"

namespace pm {

namespace {

const char* const kLinks =
    "<a href=pm.asp?action=newpm>新悄悄话</a>&nbsp;|&nbsp;"
    "<a href=pm.asp?action=inbox>收件箱</a>&nbsp;|&nbsp;"
    "<a href=pm.asp?action=outbox>发件箱</a>&nbsp;|&nbsp;"
    "<a href=pm.asp?action=IgnoreList>拒绝列表</a>&nbsp;|&nbsp;"
    "<a href=member.asp>成员列表</a>&nbsp;";

// Closes the object's connection however the gate ends.
struct ConnectionCloser {
    PM& pm;
    ~ConnectionCloser() { pm.CloseConnection(); }
};

}  // namespace

PM::PM() = default;
PM::~PM() = default;

void PM::Gate(const std::function<void()>& step) {
    // The gate proves the session's login against the member table, so the
    // connection is open for every request, the compose form's included.
    OpenConnection();
    ConnectionCloser closer{*this};

    const platform::Variant name = Session()("UserName");
    const platform::Variant password = Session()("Password");
    const MemberProof proof =
        name.isEmpty() || password.isEmpty() ? MemberProof{} : ProveMember(Con(), name.str(), password.str());
    if (proof.result == MemberProof::Unknown) {
        if (Request().ServerVariables("request_method").str() == "POST")
            VerifyLogin();
        else
            Login();
        return;
    }
    if (proof.result == MemberProof::Banned) {
        RunPage(core::Closing::ErrorPageBody, [](core::Page& p) { p.Refuse(kBannedMessage); });
        return;
    }
    member_ = {proof.name, password.str()};
    step();
}

std::string PM::OpenConnection() {
    try {
        if (!con_) con_ = std::make_unique<platform::Connection>();
        if (!con_->IsOpen()) con_->Open(core::CurrentSettings().ConnectionString.str());
        return "";
    } catch (const platform::RuntimeError& e) {
        return e.description();
    }
}

void PM::CloseConnection() {
    try {
        if (con_ && con_->IsOpen()) con_->Close();
    } catch (...) {
    }
    con_.reset();
}

platform::Connection& PM::Con() {
    if (!con_) platform::raise(platform::kErrObjectNotSet, std::string(platform::kObjectNotSetText) + "the connection is not open");
    return *con_;
}

void PM::GetNavbar() { Response().Write(std::string("<p>") + kLinks + "</p>"); }

std::string PM::GetClubNavbar() {
    const core::Settings& s = core::CurrentSettings();
    return "<table border=0 width=" + s.TableWidth + "><tr><td align=center>" + s.Logo +
           "</td></tr><tr><td align=right><p>" + kLinks + "</p></td></tr></table>";
}

void PM::WriteHeader(const std::string& titleCell, bool links, bool alwaysUbb) {
    const core::Settings& s = core::CurrentSettings();
    platform::Response& out = Response();
    if (alwaysUbb || s.BBStyle == "UBB") {
        out.Write("<table border=0 width=" + s.TableWidth + ">");
        out.Write("<tr><td>" + s.Logo + "</td>");
        out.Write("<td>" + titleCell);
        if (links) GetNavbar();
        out.Write("</td></tr></table>");
    } else if (s.BBStyle == "CLUB") {
        out.Write(GetClubNavbar());
    }
}

void PM::Wait(const std::string& tip, const std::string& url, const std::string& target, std::uint8_t waittime) {
    core::BoardPage::Wait(tip, url, target, waittime);
    Response().Write("</body></html>");
}

void PM::ErrorForm(const std::string& errormessage) {
    const core::Settings& s = core::CurrentSettings();
    platform::Response& out = Response();
    out.Clear();
    out.Write(core::PageHead(s.BBName));
    out.Write("<table border=0 width=" + s.TableWidth + " align=center>");
    out.Write("<tr><td><p>" + s.Logo + "</p></td></tr>");
    out.Write("<tr><td><p><blockquote><b>" + errormessage + "</b></blockquote></td></tr>");
    out.Write("</table>");
}

}  // namespace pm
