// edit.asp, the thread editor: a topic's whole thread, the forms for its
// new subject and for deleting it, the edit form of one post and the saving
// of that post with an edit note (or its deletion).
#include "admin/Admin.h"
#include "admin/forms/EditForms.h"
#include "board/converter/Converter.h"
#include "board/posting/PostEdit.h"
#include "core/ForumNames.h"
#include "core/Module1.h"
#include "platform/Connection.h"
#include "platform/Error.h"
#include "platform/Recordset.h"
#include "platform/Strings.h"

namespace admin {

void Admin::Edit_GetEditThreads(core::Page& p) {
    const std::string ForumList = RequireLeader(p, SessionLogin(), kRefused).forums;
    platform::Connection& con = p.Db();
    const std::int32_t Topic = RecordId(Request()("topic"));
    platform::Recordset rs;
    rs.Open("select *, " + core::CurrentForumName("forumname") +
                " as currentforum from post where postid=?1 or parentid=?1 order by postid",
            con, platform::CursorType::Static, {Topic});
    if (rs.Eof()) Refuse("对不起，该主题不存在！");
    if (!rs.Fields("parentid").isNull()) Refuse("对不起，你选择的不是主题！");
    const std::string topicId = rs.Fields("postid").str();
    if (!core::IsInList(ForumList, rs.Fields("currentforum").str())) Refuse("对不起，你没有权限执行该操作！");

    const core::Settings& s = core::CurrentSettings();
    platform::Response& out = Response();
    out.Write("<b><BR><center><h1>编 辑 消 息</h1></center><p><center><FORM ACTION='edit.asp' METHOD='POST'>"
              "<table width=100%>");
    out.Write("<tr><TD><FONT COLOR='#000080'><B>帖子主题：" + Text(rs.Fields("subject").str()) + "</B></FONT></td>");
    out.Write("<tr><td><INPUT TYPE='CHECKBOX' NAME='EditSubject' VALUE='yes'><B>选中这里编辑主题。</B>　　"
              "<INPUT TYPE='CHECKBOX' NAME='DeleteThread' VALUE='yes'><B>选中这里删除整个帖子。</B></td></tr>");
    out.Write("<TR><TD><B>否则，在下面选择编辑/删除消息。</B></td></tr></table>");
    out.Write("<table width=100% border=0><TR bgcolor='#F1DBD6'><td>&nbsp;</td>"
              "<td><FONT COLOR='#000000'><B>作者</B></FONT></td><td><FONT COLOR='#000000'><B>消息</B></font></td></tr>");
    for (long row = 1; !rs.Eof(); ++row, rs.MoveNext()) {
        out.Write("<tr " + (row % 2 ? s.AltColumnColor1 : s.AltColumnColor2) + " >");
        out.Write("<td valign=top><INPUT TYPE='RADIO' NAME='EditMessageNumber' VALUE='" + rs.Fields("postid").str() +
                  "' SELECTED></td>");
        out.Write("<td width=150 valign=top><FONT COLOR='#000000'><b>" + Text(rs.Fields("username").str()) +
                  "</b></FONT></td>");
        out.Write("<td valign=top><FONT color='#008080'>发表于 " + rs.Fields("posttime").str() + "</FONT><br>" +
                  board::PostHtml(rs.Fields("message"), false) + "</td></tr>");
    }
    out.Write("<tr><td colspan=3><CENTER><BR><INPUT TYPE='HIDDEN' NAME='action' VALUE='GetExactEditMessage'>"
              "<INPUT TYPE='HIDDEN' NAME='topic' VALUE=" + topicId + ">"
              "<INPUT TYPE='SUBMIT' NAME='Submit' VALUE='调 出 要 编 辑 的 消 息'></form></CENTER></td></tr></table>");
}

void Admin::Edit_EditSubject(platform::Connection& con, const std::string& ForumList) {
    WriteTopicStep(con, ForumList, false);
}

void Admin::Edit_DeleteThread(platform::Connection& con, const std::string& ForumList) {
    WriteTopicStep(con, ForumList, true);
}

// The subject form or the delete confirmation of the topic named by the
// request's `topic`, of a forum the caller manages.
void Admin::WriteTopicStep(platform::Connection& con, const std::string& ForumList, bool forDelete) {
    platform::Recordset rs;
    rs.Open("select subject,postid," + core::CurrentForumName("forumname") +
                " as forumname from post where postid=? and parentid is null",
            con,
            {RecordId(Request()("topic"))});
    if (rs.Eof()) Refuse("该主题已经不存在！");
    if (!core::IsInList(ForumList, rs.Fields("forumname").str())) Refuse(kRefused);

    Response().Write(forms::TopicStepForm(SessionLogin(), rs.Fields("subject").str(), rs.Fields("postid").str(),
                                          forDelete));
}

void Admin::Edit_EditPost(platform::Connection& con, std::int32_t Topic, const std::string& ForumList) {
    platform::Recordset rs;
    rs.Open("select *, " + core::CurrentForumName("forumname") + " as currentforum from post where postid=?", con,
            platform::CursorType::Static, {Topic});
    if (rs.Eof()) Refuse("对不起，该贴子已经不存在！");
    if (!core::IsInList(ForumList, rs.Fields("currentforum").str())) Refuse(kRefused);

    platform::Response& out = Response();
    out.Write("<BR><center><h1>编 辑 消 息</h1></center><p><center><FORM ACTION=edit.asp METHOD=POST NAME=Edit>"
              "<B>编辑消息，再次输入你的用户名和密码，然后按发送按钮。<br>"
              "要删除消息，选中此框。<FONT COLOR=#FF0000>--></FONT> <INPUT TYPE=CHECKBOX NAME=DeleteMessage VALUE=yes>");
    if (rs.Fields("parentid").isNull())
        out.Write("<BR><font  COLOR=#800000>警告：这个消息同时也是话题。如果你删除了这个。所有的回复也将被删除！！"
                  "</font></FONT></B><BR>");
    out.Write("<table width=100% border=0><TR bgcolor=#F1DBD6><td><FONT  COLOR=#000000><B>作者：</B></FONT></td>"
              "<td><B>消息：</B></td></tr>");
    const platform::Variant message = rs.Fields("message");
    out.Write("<tr bgcolor=#f7f7f7><td width=150 valign=top><B>" + Text(rs.Fields("username").str()) +
              "</B></td><td valign=top><FONT  color=#008080 >发表于 " + rs.Fields("posttime").str() +
              "</FONT><br><TEXTAREA NAME=MessageText ROWS=10 COLS=80 WRAP=VIRTUAL>" +
              Text(message.isNull() ? "" : message.str()) + "</TEXTAREA></td></tr>");
    out.Write(forms::EditIdentityRow("3", SessionLogin()));
    out.Write("<INPUT TYPE=HIDDEN NAME=MessageNumber VALUE=" + rs.Fields("postid").str() + ">"
              "<INPUT TYPE=HIDDEN NAME=action VALUE=DoMessageEdit>"
              "<INPUT TYPE=SUBMIT NAME=Submit VALUE='完 成 消 息 编 辑'></form></CENTER></td></tr></table>");
}

// Checks the posted identity itself, on a connection of its own, and
// reports its own run-time errors.
void Admin::Edit_DoMeassageEdit() {
    core::Page own(*this);
    try {
        const platform::Request& in = Request();
        const std::int32_t n = RecordId(in("MessageNumber"));
        if (n == 0) Refuse("参数错误");
        const std::string text = in("Messagetext").str();
        if (platform::Trim(text).empty()) Refuse("贴子内容不能为空！");
        const auto [editor, password] = PostedLogin();
        std::string ForumList;
        platform::Connection& con = own.Db();
        if (!isAdminOrModerater(editor, password, con, ForumList)) Refuse("对不起，您不能进行该操作！");
        {
            platform::Recordset rs;
            rs.Open("select " + core::CurrentForumName("forumname") + " from post where postid=?", con, {n});
            if (rs.Eof()) Refuse("数据库中找不到该记录！");
            if (!core::IsInList(ForumList, rs.Fields(0).str())) Refuse("对不起，您不能进行该操作！");
        }
        if (in("deletemessage").str() == "yes")
            board::LivePosts().DeleteThread(con, n);
        else
            con.Execute("update post set message=?, edithistory=ifnull(edithistory,'')||? where postid=?",
                        {text, board::EditNote(editor), n});
        Response().Write("<br><center><p><h3>贴子编辑结束！重新进入<a href=edit.asp>编辑/删除贴子</a>功能</h3></p></center>");
    } catch (const platform::RuntimeError& e) {
        FailureForm(e);
    }
}

}  // namespace admin
