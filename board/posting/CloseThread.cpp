// posting.asp, action=closethread, openthread and processclose: an
// administrator or a moderator of the topic's forum closes a topic to
// replies or opens it again, in two steps.
#include "board/posting/PostEdit.h"
#include "board/posting/PostingForm.h"
#include "board/posting/PostingPages.h"
#include "core/PageFrame.h"
#include "core/Settings.h"
#include "platform/Charset.h"
#include "platform/Strings.h"

namespace board {

using platform::HtmlEncode;

void PostingPages::CloseThread() {
    RunPage(core::Closing::BodyOnly, [&](core::Page& p) {
        const core::Settings& s = core::CurrentSettings();
        const platform::Request& request = Request();
        RecordVisit(p, "关闭/打开话题");
        const std::string action = platform::LCase(request("action").str());
        if (action != "openthread" && action != "closethread" && action != "processclose") p.Refuse("参数错误！");
        const std::int32_t id = RequestedPostId(*this, p);
        // The topic's own forum and subject, whatever the link names.
        LivePosts rows;
        const std::optional<EditedPost> topic = rows.Find(p.Db(), id);
        if (!topic) p.Refuse("参数错误！");
        const std::string subject = HtmlEncode(topic->subject);
        Response().Write(core::PageHead("关闭主题 - " + s.BBName));

        if (IsFormStep(request)) {
            RequireSightOf(*this, p, topic->forum, false);
            const bool closing = action == "closethread";
            WriteModerationForm(*this, {"posting.asp", closing ? "关 闭 主 题 " : "开 放 主 题 ",
                                        HiddenField("action", "processclose") +
                                            HiddenField("which", closing ? "close" : "open") +
                                            HiddenField("topic", std::to_string(id)) +
                                            HiddenField("TopicSubject", topic->subject) +
                                            HiddenField("forum", topic->forum),
                                        "只有管理员或该版的版主才能执行该功能.",
                                        (closing ? "需要关闭的主题: " : "需要重新开放的主题: ") + subject});
            Response().Write(s.Copyright);
            return;
        }
        // A topic is only ever closed or open.
        const std::string which = platform::LCase(request("Which").str());
        if (which != "close" && which != "open") p.Refuse("参数错误！");
        RequireLeader(*this, p, topic->forum,
                      {"对不起，你不是我们的注册用户，请先注册。按后退按钮重新输入用户名和口令！",
                       "对不起，您没有执行该操作的权限，该权限需要您有版主或管理员的许可。按后退按钮重新输入用户名和口令！"});
        if (p.Db().Execute("update post set status=? where postid=?", {which, id}) == 0) p.Refuse("参数错误！");
        const Forward to = ForumTopicList(topic->forum);
        Wait("主题" + subject + (which == "close" ? "已经被关闭，将不再接受任何回复" : "已经被重新开放以继续接受回复"),
             to.url, to.target, 2);
    });
}

}  // namespace board
