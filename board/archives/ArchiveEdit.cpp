// posting.asp, action=editarchive and archivesubmitedit: the edit form of
// one archived post and its post, on the shared edit pieces
// (board/posting/PostEdit.h) with the archive's rows, texts and forwarding.
// Both act on the copy of the archive the request names.
#include <string>

#include "board/archives/ArchivePages.h"
#include "board/archives/ArchivedTopic.h"
#include "board/posting/PostingForm.h"
#include "core/InputChecks.h"
#include "core/Settings.h"
#include "platform/Charset.h"

namespace board {

using platform::HtmlEncode;

void ArchivePages::ArchiveEditPost() {
    RunPage(core::Closing::CopyrightAndBody, [&](core::Page& p) {
        StartPage(p, {"编辑话题", core::CurrentSettings().BBName, "", std::nullopt});
        const std::int32_t id = RequestedPostId(*this, p, "参数错误");
        // The archive: the link's Forum value.
        const platform::Variant archive = Request()("forum");
        if (!core::IsPositiveNumber(archive)) p.Refuse("参数错误!");
        ArchivedPosts rows(archive);
        const std::optional<EditedPost> post = rows.Find(p.Db(), id);
        if (!post) p.Refuse("该贴子已不存在，可能被其他人删除！");
        RequireSightOf(*this, p, post->forum, false);
        WriteEditForm(*this, *post,
                      {"档案名称：<font color=#2f2f4f>" + HtmlEncode(post->archiveName) +
                           "</font><br>归档话题：<font color=#2f2f4f>" + HtmlEncode(post->subject) + "</font>",
                       HiddenField("action", "archivesubmitedit") +
                           HiddenField("archiveid", std::to_string(post->archiveId)) +
                           HiddenField("Topic", std::to_string(id)),
                       false});
    });
}

void ArchivePages::ArchiveSubmitEdit() {
    RunPage(core::Closing::BodyOnly, [&](core::Page& p) {
        ArchivedPosts rows(Request()("archiveid"));
        const std::string noRight =
            "对不起，你没有编辑或删除该贴子的权限，只有管理员、版主或贴子的原作者才能编辑或删除它！";
        SubmitPostEdit(*this, p, rows,
                       {{"对不起，您不是本论坛的用户，请先注册后再使用！", noRight},
                        noRight,
                        "主题不能为空！ ",
                        "主题内容不能为空！你也可以按浏览器的后退按钮进行修改！",
                        true,
                        [](const EditedPost& post) { return ArchiveTopicList(post.archiveId, "归档贴子列表"); },
                        [](const EditedPost& post) {
                            return Forward{"archivecontent.asp?id=" + std::to_string(post.ThreadId()) +
                                               "&archiveid=" + std::to_string(post.archiveId),
                                           "编辑的话题"};
                        }});
    });
}

}  // namespace board
