// The forum jump box: JumpTo keeps the built box in the application values
// until the forum setup empties it; the message page builds it afresh.
#include "core/JumpBox.h"

#include "core/Settings.h"
#include "core/Tarnbell.h"
#include "platform/Application.h"
#include "platform/Connection.h"
#include "platform/Convert.h"
#include "platform/Recordset.h"
#include "platform/Server.h"
#include "platform/Strings.h"

namespace core {

namespace {

const char* const kOptionsEnd = "</select><input type=submit name=go value=GO class=buttonface>";

// One entry per forum, a catalog line above each new catalog. With
// `selected`, the forum of exactly that name is marked.
void AppendForums(std::string& box, platform::Connection& con, const platform::Server& server,
                  const std::string* selected) {
    platform::Recordset rs;
    rs.Open("Select Catalog,ForumName from [Forum] order by Catalog", con);
    std::string previousCatalog;
    while (!rs.Eof()) {
        const std::string catalog = rs.Fields("catalog").str();
        if (catalog != previousCatalog) {
            box += "<option value=\"default.asp\">--- " + server.HTMLEncode(catalog) + " ---";
            previousCatalog = catalog;
        }
        const std::string name = rs.Fields("ForumName").str();
        box += (selected && *selected == name) ? "<option selected value=\"" : "<option value=\"";
        box += "list.asp?GroupName=" + server.URLEncode(name) + "\">&nbsp;&nbsp;&nbsp;&nbsp;" + server.HTMLEncode(name);
        rs.MoveNext();
    }
}

bool SameArchive(const platform::Variant& id, const std::string& wanted) {
    return platform::IsNumericText(wanted) && platform::CDbl(id) == platform::CDbl(platform::Variant(wanted));
}

// The archive lines, when there are archives. `selected` (fresh box only)
// is the archive number to mark.
void AppendArchives(std::string& box, platform::Connection& con, const platform::Server& server,
                    const std::string* selected) {
    platform::Recordset rs;
    rs.Open("select * from archive", con);
    if (rs.Eof()) return;
    box += "<option value=default.asp>--- 归档列表 ---";
    while (!rs.Eof()) {
        const platform::Variant id = rs.Fields("ArchiveId");
        if (!selected)
            box += "<option value=\"";
        else if (SameArchive(id, *selected))
            box += "<option selected value=\"";
        else
            box += "<option  value=\"";
        box += "archivelist.asp?ArchiveID=" + id.str() + "\">&nbsp;&nbsp;&nbsp;&nbsp;" +
               server.HTMLEncode(rs.Fields("ArchiveName"));
        rs.MoveNext();
    }
}

std::string BuildCachedBox(platform::Connection& con, const platform::Server& server) {
    std::string box = "<table width=" + CurrentSettings().TableWidth + ">" +
                      "<form name=jump action=jump.asp method=get>" + "<tr>" +
                      "<td align=right valign=middle>" +
                      "<p><b>跳转到: </b><select name=jumpTo size=1 class=smallSel>";
    AppendForums(box, con, server, nullptr);
    AppendArchives(box, con, server, nullptr);
    box += kOptionsEnd;
    box += "</td></tr>";
    box += "</form></table>";
    return box;
}

}  // namespace

void EmptyForumJumpList(platform::Application& application) {
    application.Set(kForumJumpListKey, platform::Variant());
}

std::string FreshJumpBox(platform::Connection& con, const platform::Server& server,
                         const std::string& forum, bool isArchive) {
    std::string box =
        "<table width=100% border=0><tr><td  valign=middle><form name=jump action=jump.asp method=get>"
        "<p><b>跳转到: </b><select name=jumpTo size=1 class=smallSel>";
    const std::string noArchive;  // no number matches the empty text
    AppendForums(box, con, server, isArchive ? nullptr : &forum);
    AppendArchives(box, con, server, isArchive ? &forum : &noArchive);
    box += kOptionsEnd;
    box += "</form></td></tr></table>";
    return box;
}

std::string Tarnbell::JumpTo(platform::Connection& con, const platform::Variant& forum, bool isArchive) {
    platform::Application& app = Application();
    std::string box;
    const platform::Variant cached = app(kForumJumpListKey);
    if (cached == platform::Variant("")) {
        box = BuildCachedBox(con, Server());
        app.Set(kForumJumpListKey, box);
    } else {
        box = cached.str();
    }

    // Mark the current entry; the quotes keep "ab" from matching "abc".
    std::string find, with;
    if (isArchive) {
        find = "\"archivelist.asp?ArchiveID=" + forum.str() + "\"";
        with = "\"archivelist.asp?archiveid=" + forum.str() + "\" selected ";
    } else {
        const std::string encoded = Server().URLEncode(forum);
        find = "\"list.asp?groupname=" + encoded + "\"";
        with = find + " selected ";
    }
    return platform::Replace(box, find, with, platform::Compare::Text);
}

}  // namespace core
