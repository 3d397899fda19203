// ubbmisc.asp?action=getip: the address a post was sent from, for an
// administrator or a moderator of the post's forum.
#include "board/converter/Converter.h"
#include "board/posting/PostEdit.h"
#include "board/posting/PostingForm.h"
#include "board/posting/PostingPages.h"
#include "core/Formatting.h"
#include "core/PageFrame.h"
#include "core/Settings.h"
#include "platform/Charset.h"

namespace board {

using platform::HtmlEncode;

void PostingPages::GetIP() {
    RunPage(core::Closing::CopyrightAndBody, [&](core::Page& p) {
        const core::Settings& s = core::CurrentSettings();
        const platform::Request& request = Request();
        platform::Response& out = Response();
        RecordVisit(p, "查看IP");
        out.Write(core::PageHead(s.BBName));

        if (IsFormStep(request) && !core::SessionLoggedIn(Session())) {
            WriteModerationForm(*this, {"ubbmisc.asp", "I P 显 示",
                                        HiddenField("action", "getip") + HiddenField("Forum", request("Forum").str()) +
                                            HiddenField("topic", request("topic").str()),
                                        "只有论坛领导（超级系统管理员，版主）可以执行此操作。",
                                        "为了查看此贴的登录 IP，先在下面认证你的身份。", "你的用户名", "你的密码",
                                        "发送认证"});
            return;
        }

        const std::int32_t id = RequestedPostId(*this, p);
        // The rights are those of the post's own forum. Only an
        // administrator learns that a post is missing: to anyone else a
        // missing post and a refusal look alike.
        LivePosts rows;
        const std::optional<EditedPost> post = rows.Find(p.Db(), id);
        const Actor actor = ActingMember(*this, p, post ? post->forum : std::string());
        if (actor.level == core::kNotAMember) p.Refuse("对不起，您不是本系统的注册用户，请先注册后再使用！");
        if (!post && actor.level == core::kAdministrator)
            p.Refuse("该记录不存在，按浏览器“后退“按钮可以重新处理！");
        if (!post || !actor.IsLeader())
            p.Refuse("对不起，您没有执行这个操作的权限，只有管理员和该版版主才可以执行该操作!");

        const std::string forum = HtmlEncode(post->forum);
        out.Write("<P><center>I P 显示<P><FONT  COLOR=#000000>返回到: <A HREF=list.asp?GroupName=" +
                  platform::UrlEncode(post->forum) + ">" + forum + "</A> | <A HREF=NewsDetail.asp?id=" +
                  std::to_string(post->ThreadId()) + ">" + HtmlEncode(post->subject) + "</A></font>");
        out.Write("<P>" + s.TableBorderOpen + "<table border=0 cellpadding=4 cellspacing=1 width=" + s.InnerTableWidth +
                  ">");
        out.Write("<TR " + s.TableColorStrip +
                  "><TD colspan=2><FONT  COLOR=#FFFFFF><b>Here is the requested IP number:</b></FONT></td></tr>");
        out.Write("<TR " + s.AltColumnColor1 + "><TD nowrap><B>IP 地址</B></TD><TD><B>" + HtmlEncode(post->ip) +
                  "</B></TD></TR>");
        // Smiley codes stay as typed here.
        out.Write("<TR " + s.AltColumnColor2 + "><TD valign=top><B>Post:</B></TD><TD>由" + HtmlEncode(post->author) +
                  "发表于" + core::FormatPostTime(post->postTime).str() + "<hr>" +
                  PostHtml(platform::Variant(post->message), platform::Variant()) + "</TD></TR>");
        out.Write("</TABLE>" + s.TableBorderClose + "</CENTER>");
    });
}

}  // namespace board
