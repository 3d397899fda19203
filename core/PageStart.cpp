// The start every page of the public board writes: the visitor recorded in
// the online list, the page head and the board header of the page style.
#include "core/PageFrame.h"
#include "core/Settings.h"
#include "core/Tarnbell.h"
#include "platform/Request.h"

namespace core {

const Credentials& Tarnbell::Visitor(Page& p) {
    if (!visitor_) visitor_ = ProvenVisitor(Request(), Session(), [&p]() -> platform::Connection& { return p.Db(); });
    return *visitor_;
}

std::string Tarnbell::RecordVisit(Page& p, const std::string& location) {
    return UpdateOnline(Request().ServerVariables("Remote_addr").str(), location, Visitor(p).name);
}

std::string Tarnbell::StartPage(Page& p, const PageStart& start) {
    const std::string shown = RecordVisit(p, start.location);
    Response().Write(PageHead(start.title));
    Response().Write(start.opening);
    if (start.ubbHeader) WriteBoardHeader(*start.ubbHeader);
    return shown;
}

void Tarnbell::WriteBoardHeader(const std::string& ubbHeader) {
    const std::string& style = CurrentSettings().BBStyle;
    if (style == "UBB") Response().Write(ubbHeader);
    else if (style == "CLUB") Response().Write(GetClubHeader());
}

}  // namespace core
