#pragma once
// A forum's rename or delete changes the forum's own row and the small
// tables naming it at once, in the control panel's transaction; the posts
// follow in batches, each a transaction of its own, so that posting waits
// for one batch at most. forum_deleting names the deleted forums whose
// posts are still going, forum_renaming the renamed ones whose posts still
// carry the old name (core/NameCascades.h, OnDelete::DeleteInBatches and
// OnRename::InBatches); what a crash leaves there is finished from the next
// start on. Meanwhile a deleted forum's posts are hidden (every page that
// shows a post reads its forum's row) and a renamed forum's posts are found
// under either name (core/ForumNames.h).
#include <string>

namespace platform {
class Connection;
}

namespace core {

inline constexpr int kForumChangeBatch = 500;

// Finishes every noted delete and rename, `batch` rows a transaction; a
// forum's note goes with its last batch.
void FinishForumChanges(platform::Connection& con, int batch = kForumChangeBatch);

// The same aside (platform/Background.h), on a connection of its own to the
// database file at `path`.
void FinishForumChangesSoon(const std::string& path);

// At the start, before the first page: takes up what a crash left.
void ResumeForumChanges(const std::string& path);

}  // namespace core
