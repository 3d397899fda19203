// archive.asp, action=transfer and its post (action=submittransfer with
// `Option`): an administrator or a moderator of the topic's forum moves a
// topic with its replies to another forum, or files a copy into an archive.
// The copies and the closing or deletion of the source are one change.
#include "board/posting/PostEdit.h"
#include "board/posting/PostingForm.h"
#include "board/posting/PostingPages.h"
#include "core/ForumNames.h"
#include "core/PageFrame.h"
#include "core/Settings.h"
#include "platform/Charset.h"
#include "platform/Connection.h"
#include "platform/Convert.h"
#include "platform/Error.h"
#include "platform/Recordset.h"
#include "platform/Strings.h"

namespace board {

namespace {

using platform::HtmlEncode;
using platform::Variant;

constexpr const char* kChooseForum = "请您选择转移目的地，按返回按钮重新选择！";

// The columns a forum copy takes from its source row, after forumname and hits.
constexpr const char* kCopiedColumns =
    "usesign,status,subject,message,posttime,icon,username,edithistory,smiles,emailnotification,ip,"
    "lastreplyusername,lastreplyposttime,replycount";

std::string ForumOptions(platform::Connection& con, const std::string& source) {
    platform::Recordset rs;
    rs.Open("select forumname from forum where forumname<>? order by sequence", con, {Variant(source)});
    std::string options = "<OPTION value=>选一个转换的目标论坛：";
    for (; !rs.Eof(); rs.MoveNext()) {
        const std::string name = rs.Fields(0).str();
        options += "<option value=" + platform::QuotedAttribute(name) + ">" + HtmlEncode(name);
    }
    return options;
}

// The archive chosen in the form; 0 for none. Anything but a number is the
// sender's mistake.
std::int32_t ChosenArchive(core::Page& p, const Variant& value) {
    if (value.str().empty()) return 0;
    if (!platform::IsNumeric(value)) p.Refuse("参数错误！");
    try {
        return platform::CLng(value);
    } catch (const platform::RuntimeError&) {
        p.Refuse("参数错误！");
    }
}

bool ArchiveExists(platform::Connection& con, std::int32_t archive) {
    platform::Recordset rs;
    rs.Open("select archiveid from archive where archiveid=?", con, {Variant(archive)});
    return !rs.Eof();
}

// The target forum's name as stored; none when no other forum has it.
std::optional<std::string> OtherForum(platform::Connection& con, const std::string& name, const std::string& source) {
    platform::Recordset rs;
    rs.Open("select forumname from forum where forumname=?1 and forumname<>?2", con, {Variant(name), Variant(source)});
    if (rs.Eof()) return std::nullopt;
    return rs.Fields(0).str();
}

}  // namespace

std::string ArchiveSelectOptions(platform::Connection& con) {
    platform::Recordset rs;
    rs.Open("select archiveid, archivename from archive order by archiveid", con);
    if (rs.Eof()) return "<OPTION VALUE=0>目前没有档案被建立";
    std::string options = "<option value=0>请选择一个目标档案：";
    const std::string gap = "&nbsp;&nbsp;&nbsp;&nbsp;";
    for (; !rs.Eof(); rs.MoveNext())
        options += "<option value=" + rs.Fields(0).str() + ">" + gap + HtmlEncode(rs.Fields(1).str()) + gap;
    return options;
}

void WriteMoveForm(core::Tarnbell& page, const MoveForm& form) {
    const core::Settings& s = core::CurrentSettings();
    platform::Response& out = page.Response();
    out.Write("<center>");
    page.WriteBoardHeader("<table border=0 width=" + s.TableWidth + "><tr><td>" + s.Logo +
                          "</td><td valign=middle><p><B>" + form.placeLabel + "<FONT COLOR=#2f2f4f>" + form.place +
                          "</FONT><BR>话题: <FONT COLOR=#2f2f4f>" + form.subject + "</FONT></B></p></td></tr></table>");
    out.Write("<FORM ACTION=archive.asp NAME=REPLIER METHOD=POST><table border=0 width=" + s.TableWidth +
              "><tr><td><B>" + form.notice + "</B></td></tr></table>");
    out.Write(s.TableBorderOpen + "<table border=0 cellspacing=1 cellpadding=4 width=" + s.InnerTableWidth +
              "><tr " + s.TableColorStrip + "><td colspan=" + std::to_string(form.columns) +
              " align=center><font color=" + s.TableStripTextColor + "><B>" + form.title + "</B></font></td></tr>");
    out.Write(form.choiceRows);
    out.Write(LoginRows(page, "<b>你的用户名</b>", "<b>你的密码</b>"));
    out.Write("</table>" + s.TableBorderClose + HiddenField("action", "submittransfer") + form.hiddenFields +
              "<p><INPUT TYPE=Submit NAME=SUBMIT VALUE=这就发送 class=buttonface> "
              "<INPUT TYPE=RESET NAME=RESET VALUE=清除字段 class=buttonface></center></form>" + s.Copyright);
}

void PostingPages::Transfer() {
    RunPage(core::Closing::BodyOnly, [&](core::Page& p) {
        const core::Settings& s = core::CurrentSettings();
        const platform::Request& request = Request();
        platform::Response& out = Response();
        platform::Connection& con = p.Db();
        RecordVisit(p, "移动/归档");
        const std::int32_t id = RequestedPostId(*this, p);
        LivePosts rows;
        const std::optional<EditedPost> topic = rows.Find(con, id);
        if (!topic || !topic->IsTopic()) p.Refuse("参数错误！");
        const std::string subject = HtmlEncode(topic->subject);
        const std::string& source = topic->forum;
        const bool formStep = IsFormStep(request);
        if (formStep) RequireSightOf(*this, p, source, true);
        out.Write(core::PageHead(subject + " - " + s.BBName));

        if (formStep) {
            const std::string choices =
                "<tr " + s.AltColumnColor1 +
                "><td valign=top><INPUT TYPE=RADIO NAME=Option VALUE=Transfer checked></td><td>"
                "转换话题到此论坛：<br><br>注意：你有一个在话题被转换到别的论坛后是否在现有论坛删除的选项，"
                "你也可以在现有论坛中保留（它将在现有论坛成为关闭话题）。<blockquote>"
                "<INPUT TYPE=RADIO NAME=TransferChoiceOption VALUE=Keep checked>"
                "转换后在现有论坛保留此话题。话题将在现有论坛中被关闭。<br>"
                "<INPUT TYPE=RADIO NAME=TransferChoiceOption VALUE=Delete>转换后在现有论坛删除此话题。"
                "</blockquote></td><td valign=top><SELECT NAME=TransferToForumNum Class=SmallSel>" +
                ForumOptions(con, source) + "</SELECT></td></tr>" + "<tr " + s.AltColumnColor2 +
                "><td valign=top><INPUT TYPE=RADIO NAME=Option VALUE=Archive></td><td>把话题归到这个档案: <BR>"
                "<br>注意: 话题将被移动到一个只读的档案中并且也可以在现有论坛中删除或者保留 (下面, "
                "选择在归档后从论坛删除话题, 当然你也可以希望让话题存活在论坛中.)<blockquote>"
                "<INPUT TYPE=RADIO NAME=ArchiveChoiceOption VALUE=Keep checked>归档后在现有论坛保留此话题.<br>"
                "<INPUT TYPE=RADIO NAME=ArchiveChoiceOption VALUE=Delete>归档后在现有论坛删除此话题."
                "</blockquote></td><td valign=top><SELECT NAME=ArchiveSelect class=smallsel>" +
                ArchiveSelectOptions(con) + "</SELECT></td></tr>";
            WriteMoveForm(*this, {"论坛: ", HtmlEncode(source), subject,
                                  "注意：只有超级系统管理员, 版主才可以转移或将话题归档.", 3,
                                  "选择一个（转换或归档）", choices, HiddenField("topic", std::to_string(id))});
            return;
        }

        if (platform::LCase(request.Form("option").str()) == "archive") {
            const std::int32_t archive = ChosenArchive(p, request("ArchiveSelect"));
            if (archive == 0 || !ArchiveExists(con, archive)) p.Refuse(kChooseArchive);
            RequireLeader(*this, p, source, kMoveRefusals);
            platform::Transaction move(con);
            platform::Recordset filed;
            filed.Open("select postid from archivelist where postid=? and archiveid=?", con,
                       {Variant(id), Variant(archive)});
            if (!filed.Eof()) p.Refuse("对不起，该主题已经存在于档案中，请选择其他主题！");
            filed.Close();
            con.Execute("insert into archivelist (archiveid,postid,forumname,username,posttime,message,subject,usesign,"
                        "status,edithistory,hits,icon,emailnotification,ip,parentid) "
                        "select ?2,postid," + core::CurrentForumName("forumname") +
                            ",username,posttime,message,subject,usesign,status,edithistory,hits,"
                            "icon,emailnotification,ip,parentid from post where postid=?1 or parentid=?1 order by postid",
                        {Variant(id), Variant(archive)});
            if (platform::LCase(request("ArchiveChoiceOption").str()) == "delete") rows.DeleteThread(con, id);
            move.Commit();
        } else {
            const std::string wanted = request.Form("TransfertoforumNum").str();
            const std::optional<std::string> target = wanted.empty() ? std::nullopt : OtherForum(con, wanted, source);
            if (!target) p.Refuse(kChooseForum);
            RequireLeader(*this, p, source, kMoveRefusals);
            const bool keep = platform::LCase(request.Form("TransferChoiceOption").str()) == "keep";
            // A kept source keeps its hits; the copy starts again from 0.
            const std::string hits = keep ? "0" : "hits";
            platform::Transaction move(con);
            con.Execute(std::string("insert into post (forumname,hits,") + kCopiedColumns + ") select ?," + hits +
                            "," + kCopiedColumns + " from post where postid=?",
                        {Variant(*target), Variant(id)});
            const long long copy = con.LastIdentity();
            // In thread order: the copies' ids keep it.
            con.Execute(std::string("insert into post (forumname,parentid,hits,") + kCopiedColumns + ") select ?1,?2," +
                            hits + "," + kCopiedColumns + " from post where parentid=?3 order by postid",
                        {Variant(*target), Variant(copy), Variant(id)});
            if (keep) con.Execute("update post set status='close' where postid=?", {Variant(id)});
            else rows.DeleteThread(con, id);
            move.Commit();
        }
        const Forward to = ForumTopicList(source);
        Wait("主题：" + subject + "移动完成", to.url, to.target, 2);
    });
}

}  // namespace board
