// edit.asp, the way to a list of topics: the choice of a forum (and of a
// number of days or of a member), the prune list whose checked topics the
// centre deletes, and the topic list that leads into the thread editor.
#include "admin/Admin.h"
#include "admin/forms/EditForms.h"
#include "core/ForumNames.h"
#include "core/Module1.h"
#include "platform/Connection.h"
#include "platform/Convert.h"
#include "platform/DateTime.h"
#include "platform/Recordset.h"
#include "platform/Strings.h"

namespace admin {

namespace {

const char* const kTopicColumns = "select subject,postid,lastreplyposttime,username,replycount from post";

// The topics of `forum` posted within the request's `DaysPrune` days (its
// leading number, rounded to a whole day), the most recently answered first.
void OpenRecentTopics(platform::Recordset& rs, platform::Connection& con, const platform::Request& in,
                      const std::string& forum) {
    const std::int16_t days = platform::CInt(platform::Variant(platform::Val(in("DaysPrune").str())));
    const std::string since = platform::FormatGeneral(platform::AddDays(platform::Now(), -days));
    rs.Open(std::string(kTopicColumns) +
                " where " + core::ForumPostsCondition("forumname", "?") +
                " and posttime>=? and parentid is null order by lastreplyposttime desc",
            con, platform::CursorType::Static, {forum, since});
}

}  // namespace

void Admin::Edit_Prune(const std::string& ForumList) {
    Response().Write(forms::ForumChoice(ForumList, "删 除 论 坛 贴 子", "你可以删除任何下列论坛中的贴子，请选择一个论坛。",
                                        "<B>从哪个论坛删除：</B></FONT>") +
                     forms::DaysAndSubmit("PrunebyDate"));
}

void Admin::Edit_Edit(const std::string& ForumList) {
    Response().Write(forms::ForumChoice(ForumList, "编 辑 论 坛 贴 子", "你可以编辑任何下列论坛中的贴子，请选择一个论坛",
                                        "<B>编辑哪个论坛：</B></FONT>") +
                     forms::DaysAndSubmit("AdminEditThisForum"));
}

// The members whose name contains the text (LIKE's wildcards keep their
// meaning: a lone "%" finds everyone).
void Admin::edit_prunesuer(const std::string& ForumList, platform::Connection& con) {
    platform::Recordset rs;
    rs.Open("select username from register where username like ?", con,
            {"%" + Request()("deletename").str() + "%"});
    if (rs.Eof()) Refuse("没有发现与之相匹配的用户！");
    platform::Response& out = Response();
    out.Write(forms::ForumChoice(ForumList, "删 除 论 坛 贴 子", "你可以删除任何下列论坛中的贴子?请选择一个?",
                                 "<B>从哪个论坛删除：</B>"));
    out.Write("<tr bgcolor='#C6CFA0'><td><B>删除某人发表的所有帖子：</B></td><td><SELECT NAME='MatchUser'>");
    for (; !rs.Eof(); rs.MoveNext()) {
        const std::string name = rs.Fields(0).str();
        out.Write("<OPTION value=" + Attr(name) + ">" + Text(name));
    }
    out.Write("</SELECT></td></tr></table><P><BR><INPUT TYPE='HIDDEN' NAME=action VALUE='PruneByUser'>"
              "<CENTER><INPUT TYPE='SUBMIT' NAME='Submit' VALUE='发 送 论 坛 选 择'></FORM></CENTER>");
}

// The forum the request names, when the caller manages it.
std::string Admin::ChosenForum(const std::string& ForumList) {
    const std::string forum = Request()("forumname").str();
    if (!core::IsInList(ForumList, forum)) Refuse(kRefused);
    return forum;
}

void Admin::Edit_DeletePost(core::Page& p) {
    const std::string ForumList = RequireLeader(p, SessionLogin(), kRefused).forums;
    platform::Connection& con = p.Db();
    // prunebydate or prunebyuser
    const std::string PruneStyle = platform::LCase(Request()("action").str());
    const platform::Request& in = Request();
    const std::string forum = ChosenForum(ForumList);
    platform::Recordset rs;
    if (PruneStyle != "prunebydate")
        rs.Open(std::string(kTopicColumns) +
                    " where " + core::ForumPostsCondition("forumname", "?") +
                    " and username=? and parentid is null order by lastreplyposttime desc",
                con, platform::CursorType::Static, {forum, in("MatchUser").str()});
    else
        OpenRecentTopics(rs, con, in, forum);

    platform::Response& out = Response();
    out.Write("<center><FONT color='#000080'><h1>删 除 消 息</h1></FONT></center><p><center>"
              "<FORM ACTION='edit.asp' METHOD='POST' NAME='Edit'><INPUT TYPE='HIDDEN' NAME='action' "
              "VALUE='SubmitPrune'><P><b>如果不想删除某个辩论，则不要选右边的框。</B>");
    out.Write(forms::TopicListHead("帖子"));
    for (; !rs.Eof(); rs.MoveNext()) {
        out.Write("<TR><TD width=300><INPUT TYPE='CHECKBOX' NAME='Delete' VALUE='" + rs.Fields("postid").str() +
                  "' CHECKED>" + Text(rs.Fields("subject").str()) + "</td>");
        out.Write(forms::TopicCells(rs));
    }
    out.Write("</table><FONT COLOR=#800000><B>基于安全因素，请再输入你的用户名和密码：<BR>"
              "用户名： <INPUT TYPE=TEXT NAME=UserName SIZE=25 MAXLENGTH=25 value=" + Attr(SessionUserName()) +
              ">&nbsp;&nbsp;&nbsp;&nbsp; 密码：<INPUT TYPE=PASSWORD NAME=Password SIZE=13 MAXLENGTH=13 value=" +
              Attr(SessionPassword()) + "></b></FONT><p><INPUT TYPE=SUBMIT NAME=Submit VALUE='删 除 '></form></CENTER>");
}

void Admin::Edit_AdminEditThisForum(core::Page& p) {
    const std::string ForumList = RequireLeader(p, SessionLogin(), kRefused).forums;
    platform::Connection& con = p.Db();
    const platform::Request& in = Request();
    const std::string forum = ChosenForum(ForumList);
    platform::Recordset rs;
    OpenRecentTopics(rs, con, in, forum);

    platform::Response& out = Response();
    out.Write("<b><center><FONT color='#000080'><h1>编 辑 消 息</h1></FONT></center><p><center><P>"
              "要编辑话题，请选择该话题的链接</B>");
    out.Write(forms::TopicListHead("话题"));
    for (; !rs.Eof(); rs.MoveNext()) {
        out.Write("<TR><TD width=300><a href=edit.asp?action=GetEditthreads&Topic=" + rs.Fields("postid").str() +
                  ">" + Text(rs.Fields("subject").str()) + "</a></td>");
        out.Write(forms::TopicCells(rs));
    }
    out.Write("</table></center>");
}

}  // namespace admin
