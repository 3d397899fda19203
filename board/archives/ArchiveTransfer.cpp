// archive.asp, action=transferarchive and its post (submittransfer without
// `Option`): an administrator or a moderator of the forum the topic came
// from moves an archived topic with its replies from one archive to
// another. Only that archive's copies move, and only into an existing
// archive that holds none of them yet.
#include <string>

#include "board/archives/ArchivePages.h"
#include "board/archives/ArchivedTopic.h"
#include "board/posting/PostingForm.h"
#include "core/InputChecks.h"
#include "core/PageFrame.h"
#include "core/Settings.h"
#include "platform/Charset.h"
#include "platform/Connection.h"
#include "platform/Convert.h"
#include "platform/Recordset.h"

namespace board {

using platform::HtmlEncode;
using platform::Variant;

void ArchivePages::TransferArchive() {
    RunPage(core::Closing::BodyOnly, [&](core::Page& p) {
        const core::Settings& s = core::CurrentSettings();
        const platform::Request& request = Request();
        platform::Connection& con = p.Db();
        RecordVisit(p, "移动归档话题");
        const std::int32_t id = RequestedPostId(*this, p);
        ArchivedPosts rows(request("archiveid"));
        const std::optional<EditedPost> post = rows.Find(con, id);
        if (!post) p.Refuse("参数错误！");
        const std::string subject = HtmlEncode(post->subject);
        const std::string source = std::to_string(post->archiveId);

        if (IsFormStep(request)) {
            RequireSightOf(*this, p, post->forum, true);
            Response().Write(core::PageHead(subject + " - " + s.BBName));
            WriteMoveForm(*this, {"档案: ", HtmlEncode(post->archiveName), subject,
                                  "注意：只有超级系统管理员, 版主才可以转移归档话题.", 2, "选择一个归档",
                                  "<tr " + s.AltColumnColor2 +
                                      "><td >把话题移动到这个档案: <BR><br>注意: 话题将被移动到一个只读的档案中并在现有档案中被删除"
                                      "</td><td valign=top><SELECT NAME=ArchiveSelect class=smallsel>" +
                                      ArchiveSelectOptions(con) + "</SELECT></td></tr>",
                                  HiddenField("topic", std::to_string(id)) + HiddenField("archiveid", source)});
            return;
        }

        const Variant chosen = request("ArchiveSelect");
        if (!core::IsPositiveNumber(chosen)) p.Refuse(kChooseArchive);
        const std::int32_t target = platform::CLng(chosen);
        RequireLeader(*this, p, post->forum, kMoveRefusals);
        if (!FindArchive(con, target)) p.Refuse("对不起，您选择的档案不存在，请按返回按钮重新选择！");
        const platform::SqlParams thread = {Variant(post->archiveId), Variant(id), Variant(target)};
        platform::Transaction move(con);
        // No post may stand twice in one archive.
        platform::Recordset filed;
        filed.Open("select 1 from archivelist where +archiveid = ?3 and postid in (select postid from archivelist where " +
                       ArchivedThreadRows() + ")",
                   con, thread);
        if (!filed.Eof()) p.Refuse("对不起，该主题已经存在于档案中，请选择其他主题！");
        filed.Close();
        con.Execute("update archivelist set archiveid = ?3 where " + ArchivedThreadRows(), thread);
        move.Commit();
        const Forward to = ArchiveTopicList(post->archiveId, HtmlEncode(post->archiveName) + "贴子列表");
        Wait("主题：" + subject + "移动完成", to.url, to.target, 2);
    });
}

}  // namespace board
