#pragma once
// Finding an archive and the archived copy of a post that a request names;
// the archived copies as the shared edit and delete pieces change them.
#include <cstdint>
#include <optional>
#include <string>

#include "board/posting/PostEdit.h"
#include "platform/Connection.h"
#include "platform/Variant.h"

namespace board {

struct ArchiveEntry {
    std::int32_t id = 0;
    std::string name;      // as stored
    std::string descript;  // as stored
};

// SQL condition on archivelist rows (named `alias`, "" for none): the rows
// of thread ?2 (the post ?2 and the posts whose parent it is) in archive
// ?1. The thread's indexes find its rows, the archive is compared after
// (the unary plus keeps the planner off the archive's index): an archive
// holds many more rows than a thread.
std::string ArchivedThreadRows(const std::string& alias = "");

// The archive numbered `id`, if it exists.
std::optional<ArchiveEntry> FindArchive(platform::Connection& con, std::int32_t id);

// The archive whose copy of post `postid` a request means: the positive
// number `requested` (the request's archiveid), or, when the request names
// none (Empty or ""), the lowest existing archive holding the post (0 when
// none does). Nullopt when `requested` is given but no positive number.
std::optional<std::int32_t> ArchiveOfRequest(platform::Connection& con, const platform::Variant& requested,
                                             std::int32_t postid);

// The copies one archive holds, as the edit and delete pieces read and
// change them. The archive is the one the request named (`requested`, the
// request's archiveid or forum value) or else the lowest that holds the
// post (ArchiveOfRequest), settled by Find; every statement then keeps to
// that archive's rows, so a topic filed twice changes in one place only.
class ArchivedPosts : public PostRows {
public:
    explicit ArchivedPosts(platform::Variant requested) : requested_(std::move(requested)) {}

    // None also for a requested archive that is no positive number, or one
    // that is gone from table archive.
    std::optional<EditedPost> Find(platform::Connection& con, std::int32_t id) override;
    // Archived copies keep no smilies flag.
    void SaveEdit(platform::Connection& con, std::int32_t id, const std::string& message, const std::string& history,
                  bool smiles) override;
    void RenameThread(platform::Connection& con, std::int32_t thread, const std::string& subject) override;
    void DeleteThread(platform::Connection& con, std::int32_t id) override;

private:
    platform::Variant requested_;
    std::int32_t archive_ = 0;
};

// An archive's topic list, where the archive pages forward after a delete.
Forward ArchiveTopicList(std::int32_t archive, const std::string& target);

}  // namespace board
