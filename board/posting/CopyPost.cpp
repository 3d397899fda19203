// posting.asp?action=copypost: one post's text as typed, in a text area to
// copy it from.
#include "board/posting/PostEdit.h"
#include "board/posting/PostingPages.h"
#include "core/PageFrame.h"
#include "core/Settings.h"
#include "platform/Charset.h"

namespace board {

using platform::HtmlEncode;

void PostingPages::CopyPost() {
    RunPage(core::Closing::BodyOnly, [&](core::Page& p) {
        const core::Settings& s = core::CurrentSettings();
        platform::Response& out = Response();
        RecordVisit(p, "复制主题");
        const std::int32_t id = RequestedPostId(*this, p);
        LivePosts rows;
        const std::optional<EditedPost> post = rows.Find(p.Db(), id);
        if (!post) p.Refuse("不存在该贴子！");
        // A post of a private forum only for those admitted to it.
        const core::ForumAdmission entry = CheckForum(p.Db(), post->forum);
        out.Write(core::PageHead("复制主题 - " + s.BBName) + "<center>");
        if (entry.exists && !entry.admitted) {
            PrivateForum(post->forum);
            p.Stop();
        }
        WriteBoardHeader("<table border=0 width=" + s.TableWidth + "><tr><td>" + s.Logo +
                         "</td><td valign=middle><b>论坛: <font color=#2f2f4f>" + HtmlEncode(post->forum) +
                         "</font><br>话题: <font color=#2f2f4f>" + HtmlEncode(post->subject) +
                         "</font></b></td></tr></table>");
        out.Write(s.TableBorderOpen + "<TABLE cellSpacing=1 cellPadding=4 width=" + s.InnerTableWidth + " border=0>");
        out.Write("<tr " + s.TableColorStrip + "><td noWrap><font color=" + s.TableStripTextColor +
                  "><b>怎样复制</b></font></td><td><font color=" + s.TableStripTextColor +
                  ">您可使用\"选择全部\"按钮或用鼠标/键盘手动选择贴子内容，然后使用Ctrl+C或Apple+C复制选择内容"
                  "</font></td></tr>");
        // Sent, the form shows this page again.
        out.Write("<tr " + s.AltColumnColor2 + "><td noWrap valign=top><b>复制内容</b></td><td>"
                  "<form name=CopyForm action=posting.asp method=post><input type=hidden name=action value=copypost>"
                  "<input type=hidden name=topic value=" + std::to_string(id) + ">"
                  "<input type=button value=选择全部 class=buttonface "
                  "onclick=\"this.form.CopyMessage.focus();this.form.CopyMessage.select();\"><br>"
                  "<textarea name=CopyMessage rows=18 cols=100 wrap=VIRTUAL>" + HtmlEncode(post->message) +
                  "</textarea></form></td></tr>");
        out.Write("</TABLE>" + s.TableBorderClose + "</center>");
    });
}

}  // namespace board
