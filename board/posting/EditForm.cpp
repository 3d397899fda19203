// posting.asp?action=editpost: the form for editing or deleting one post,
// and the form itself, which the archived posts' edit page writes too.
#include "board/posting/PostEdit.h"
#include "board/posting/PostingForm.h"
#include "board/posting/PostingPages.h"
#include "board/posting/PostingTexts.h"
#include "core/Settings.h"
#include "platform/Charset.h"

namespace board {

using platform::HtmlEncode;

namespace {

std::string StripRow(const std::string& content) {
    const core::Settings& s = core::CurrentSettings();
    return "<tr " + s.TableColorStrip + "><td colspan=2><font color=" + s.TableStripTextColor + ">" + content +
           "</font></td></tr>";
}

}  // namespace

void WriteEditForm(core::Tarnbell& page, const EditedPost& post, const EditFormShape& shape) {
    const core::Settings& s = core::CurrentSettings();
    platform::Response& out = page.Response();
    out.Write("<center>");
    page.WriteBoardHeader("<table border=0 cellpadding=4 cellspacing=1 width=" + s.TableWidth + "><tr><td>" + s.Logo +
                          "</td><td><b>" + shape.headerLines + "</b></td></tr></table>");
    out.Write("<P><FORM ACTION=posting.asp METHOD=POST NAME=PostTopic>");
    out.Write(s.TableBorderOpen + "<table border=0 cellpadding=4 cellspacing=1 width=" + s.InnerTableWidth + ">");
    out.Write(StripRow("<b>只有论坛领导（系统管理员，版主）或者发表这条消息的人才可以编辑和删除贴子</b>"));
    out.Write(StripRow("<INPUT TYPE=CHECKBOX NAME=DeletePost>删除？想删除的话，选中左边的复选框。" +
                       std::string(post.IsTopic() ? "<b>注意：</b>删除此贴会导致整个话题，因为此贴是话题中的第 1 个贴子。"
                                                  : "")));
    out.Write(LoginRows(page, "<font color=#000000><b>你的用户名：</b></font>",
                        "<font color=#000000><b>你的密码：</b></font>",
                        " <a href=ubbmisc.asp?action=lostpw>忘了你的密码？</a>"));
    if (post.IsTopic())
        out.Write("<tr " + s.AltColumnColor2 +
                  "><td><b>主题：</b></td><td><INPUT TYPE=TEXT NAME=TopicSubject SIZE=40 MAXLENGTH=30 "
                  "class=smallinput VALUE=" + platform::QuotedAttribute(post.subject) + "></td></tr>");
    out.Write(MessageRow("帖子内容编辑：", HtmlEncode(post.message),
                         "<font color=#2f2f4f>原作者：" + HtmlEncode(post.author) + "　发表于：" +
                             HtmlEncode(post.postTime.str()) + "</font><p>",
                         shape.smilies));
    if (shape.smilies) out.Write(OptionsRow(OptionBox("DisableSmilies", !post.smiles, kSmiliesLabel, kSmiliesNote)));
    out.Write("</table>" + s.TableBorderClose);
    out.Write(shape.hiddenFields);
    out.Write("<p><INPUT TYPE=SUBMIT NAME=SUBMIT VALUE=确　定 class=buttonface>&nbsp;"
              "<INPUT TYPE=RESET NAME=RESET VALUE=清　除 class=buttonface></p></FORM>");
    out.Write(MarkupNote() + "</center>");
}

void PostingPages::EditPost() {
    RunPage(core::Closing::CopyrightAndBody, [&](core::Page& p) {
        const core::Settings& s = core::CurrentSettings();
        StartPage(p, {"编辑话题", "编辑话题 - " + s.BBName, "", std::nullopt});
        const std::int32_t id = RequestedPostId(*this, p, "参数错误");
        // Admission is that of the post's own forum, whatever forum the
        // link names.
        LivePosts rows;
        const std::optional<EditedPost> post = rows.Find(p.Db(), id);
        if (!post) p.Refuse("该贴子已不存在，可能被其他人删除！");
        const core::ForumAdmission entry = CheckForum(p.Db(), post->forum);
        if (!entry.exists) p.Refuse(kNoSuchForum);
        if (!entry.admitted) {
            PrivateForum(post->forum);
            p.Stop();
        }
        WriteEditForm(*this, *post,
                      {"论坛名称：<font color=#2f2f4f>" + HtmlEncode(post->forum) +
                           "</font><br>帖子名称：<font color=#2f2f4f>" + HtmlEncode(post->subject) + "</font>",
                       HiddenField("action", "submitedit") + HiddenField("forum", post->forum) +
                           HiddenField("Topic", std::to_string(id)),
                       true});
    });
}

}  // namespace board
