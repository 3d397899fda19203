// posting.asp?action=newtopic: the form for a new topic of a forum.
#include "board/posting/PostingForm.h"
#include "board/posting/PostingPages.h"
#include "board/posting/PostingTexts.h"
#include "core/Module1.h"
#include "platform/Charset.h"

namespace board {

void PostingPages::NewTopic() {
    RunPage(core::Closing::CopyrightAndBody, [&](core::Page& p) {
        const core::Settings& s = core::CurrentSettings();
        platform::Response& out = Response();
        const std::string forum = Request().QueryString("Forum").str();
        StartPage(p, {"发表话题", "发表新话题", "", std::nullopt});
        const core::ForumAdmission entry = CheckForum(p.Db(), forum);
        if (!entry.exists) p.Refuse(kNoSuchForum);
        if (!entry.admitted) {
            PrivateForum(forum);
            p.Stop();
        }
        RefuseLoggedInVisitorByRule(p, PostKind::Topic, forum, entry);

        out.Write("<center>");
        WriteBoardHeader("<table border=0 width=" + s.TableWidth + "><tr><td>" + s.Logo + "</td><td><b>在 " +
                         platform::HtmlEncode(forum) + " 论坛发表新话题</b></td></tr></table>");
        out.Write("<table border=0 width=" + s.TableWidth +
                  "><tr><td><a href=signup.asp><b>我想注册？</b></a></td></tr></table>");
        out.Write("<FORM ACTION=posting.asp METHOD=POST NAME=PostTopic>");
        out.Write(s.TableBorderOpen);
        out.Write("<table border=0 cellpadding=4 cellspacing=1 width=" + s.InnerTableWidth + ">");
        out.Write(WhoMayPostRows("为了发表新的消息，您必须先注册"));
        out.Write(CredentialRows(*this));
        out.Write("<tr " + s.AltColumnColor2 +
                  "><td><b>标题：</b></td><td><INPUT TYPE=TEXT NAME=TopicSubject SIZE=40 MAXLENGTH=30 "
                  "class=smallinput></td></tr>");
        out.Write(IconRow());
        out.Write(MessageRow("正文：", ""));
        out.Write(OptionsRow(OptionBox("EmailNotification", false, "Email 提醒:",
                                       "如果有回复则通过电子邮件提醒。只有注册用户才有此功能。") +
                             OptionBox("DisableSmilies", false, kSmiliesLabel, kSmiliesNote) +
                             OptionBox("Signature", true, kSignatureLabel, kSignatureNote)));
        out.Write("</table>");
        out.Write(s.TableBorderClose);
        out.Write("<p>" + HiddenField("forum", forum) + HiddenField("action", "posttopic") +
                  FormButtons("发表新话题") + "</p></FORM>");
        out.Write(NotesBelowForm());
        out.Write("</center>");
    });
}

}  // namespace board
