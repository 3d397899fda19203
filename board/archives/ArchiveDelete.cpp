// posting.asp, action=deletearchive: an administrator or a moderator of the
// forum the topic came from deletes an archived topic with its replies
// from one archive, through the shared two-step deletion.
#include <string>

#include "board/archives/ArchivePages.h"
#include "board/archives/ArchivedTopic.h"
#include "board/posting/PostingForm.h"
#include "platform/Charset.h"

namespace board {

void ArchivePages::DeleteArchive() {
    RunPage(core::Closing::BodyOnly, [&](core::Page& p) {
        ArchivedPosts rows(Request()("archiveid"));
        std::string archiveField;
        if (IsFormStep(Request())) {
            // Its POST acts on the archive the form was for.
            if (const std::optional<EditedPost> post = rows.Find(p.Db(), RequestedPostId(*this, p)))
                archiveField = HiddenField("archiveid", std::to_string(post->archiveId));
        }
        DeleteThreadPage(*this, p, rows,
                         {"deletearchive",
                          [](const EditedPost& post) {
                              return ArchiveTopicList(post.archiveId,
                                                      platform::HtmlEncode(post.archiveName) + "贴子列表");
                          },
                          archiveField});
    });
}

}  // namespace board
