// posting.asp?action=deletepost: an administrator or a moderator of the
// topic's forum deletes a topic with its replies, in two steps; and those
// two steps, which the archived topics' deletion uses too.
#include "board/posting/PostEdit.h"
#include "board/posting/PostingForm.h"
#include "board/posting/PostingPages.h"
#include "core/PageFrame.h"
#include "core/Settings.h"
#include "platform/Charset.h"

namespace board {

using platform::HtmlEncode;

void DeleteThreadPage(core::Tarnbell& page, core::Page& p, PostRows& rows, const ThreadDeletion& how) {
    const core::Settings& s = core::CurrentSettings();
    page.RecordVisit(p, "删除话题");
    const std::int32_t id = RequestedPostId(page, p);
    const std::optional<EditedPost> post = rows.Find(p.Db(), id);
    if (!post) p.Refuse("参数错误！");
    const std::string subject = HtmlEncode(post->subject);
    page.Response().Write(core::PageHead("删除话题 - " + s.BBName));

    if (IsFormStep(page.Request())) {
        RequireSightOf(page, p, post->forum, false);
        WriteModerationForm(page, {"posting.asp", "删除话题",
                                   HiddenField("action", how.action) + HiddenField("topic", std::to_string(id)) +
                                       how.moreFields,
                                   "只有管理员或该版的版主才能执行该功能.", "需要删除的话题: " + subject});
        page.Response().Write(s.Copyright);
        return;
    }
    RequireLeader(page, p, post->forum,
                  {"对不起，你不是我们的注册用户，请先注册。按后退按钮重新输入用户名和口令！",
                   "对不起，您没有执行该操作的权限，该权限需要您有版主或管理员的许可。按后退按钮重新输入用户名和口令！"});
    rows.DeleteThread(p.Db(), id);
    const Forward to = how.afterDelete(*post);
    page.Wait("话题" + subject + "已经被删除", to.url, to.target, 2);
}

void PostingPages::DeletePost() {
    // The form ends with the footer, the forwarding page without it.
    RunPage(core::Closing::BodyOnly, [&](core::Page& p) {
        LivePosts rows;
        DeleteThreadPage(*this, p, rows,
                         {"deletepost", [](const EditedPost& post) { return ForumTopicList(post.forum); }});
    });
}

}  // namespace board
