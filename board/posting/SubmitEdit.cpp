// posting.asp, action=submitedit: deletes a post or saves its edit, and the
// handler itself, which the archived posts' edit page uses too.
#include "board/posting/PostEdit.h"
#include "board/posting/PostingPages.h"
#include "core/Formatting.h"
#include "platform/Charset.h"
#include "platform/Connection.h"
#include "platform/DateTime.h"

namespace board {

using platform::HtmlEncode;

std::string EditNote(const std::string& name) {
    return "[这消息被" + HtmlEncode(name) + "编辑过(编辑时间" +
           core::FormatPostTime(platform::Variant(platform::Now())).str() + ")]<br>";
}

namespace {

// An administrator, a moderator of the post's forum or its author (the
// name as stored, letter case included); anyone else is refused.
core::Credentials RequireLeaderOrAuthor(core::Tarnbell& page, core::Page& p, const EditedPost& post,
                                        const std::string& notMember, const std::string& noRight) {
    const Actor actor = ActingMember(page, p, post.forum);
    if (actor.level == core::kNotAMember) p.Refuse(notMember);
    if (!actor.IsLeader() && actor.who.name != post.author) p.Refuse(noRight);
    return actor.who;
}

}  // namespace

void SubmitPostEdit(core::Tarnbell& page, core::Page& p, PostRows& rows, const EditHandling& how) {
    const platform::Request& request = page.Request();
    const std::int32_t id = RequestedPostId(page, p);
    platform::Connection& con = p.Db();
    const std::optional<EditedPost> post = rows.Find(con, id);
    if (!post) p.Refuse("参数错误！");
    const bool deleting = request.Form("deletepost").str() == "on";

    const std::string& noRight = deleting ? how.deleting.noRight : how.mayNotEdit;
    std::optional<core::Credentials> who;
    if (how.rightsFirst) who = RequireLeaderOrAuthor(page, p, *post, how.deleting.notMember, noRight);

    if (deleting) {
        if (!who) who = RequireLeaderOrAuthor(page, p, *post, how.deleting.notMember, noRight);
        rows.DeleteThread(con, id);
        const Forward to = how.afterDelete(*post);
        page.Wait(HtmlEncode(who->name) + "，删除主题成功", to.url, to.target, 2);
        return;
    }

    const std::string subject = post->IsTopic() ? request("topicsubject").str() : std::string();
    if (post->IsTopic() && subject.empty()) p.Refuse(how.emptySubject);
    const std::string message = request.Form("message").str();
    if (message.empty()) p.Refuse(how.emptyMessage);
    if (!who) who = RequireLeaderOrAuthor(page, p, *post, how.deleting.notMember, noRight);

    // The text and the thread's subject change together or not at all.
    platform::Transaction write(con);
    rows.SaveEdit(con, id, message, post->editHistory + EditNote(who->name), request("DisableSmilies").str() != "on");
    if (post->IsTopic() && subject != post->subject) rows.RenameThread(con, post->ThreadId(), subject);
    write.Commit();
    const Forward to = how.afterEdit(*post);
    page.Wait(HtmlEncode(who->name) + "，谢谢你编辑贴子", to.url, to.target, 2);
}

void PostingPages::SubmitEdit() {
    RunPage(core::Closing::BodyOnly, [&](core::Page& p) {
        LivePosts rows;
        SubmitPostEdit(*this, p, rows,
                       {{"对不起，您不是本论坛的用户，请先注册后再使用！",
                         "对不起，你没有删除该贴子的权限，只有管理员、版主或贴子的原作者才能删除它！"},
                        "您没有权限编辑该贴子，该贴子只能为管理员、版主或原作者才可编辑！",
                        "主题不能为空！",
                        "内容不能为空！你也可以按浏览器的后退按钮进行修改！",
                        false,
                        [](const EditedPost& post) { return ForumTopicList(post.forum); },
                        [](const EditedPost& post) {
                            return Forward{"newsdetail.asp?id=" + std::to_string(post.ThreadId()), "编辑的话题"};
                        }});
    });
}

}  // namespace board
