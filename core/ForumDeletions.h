#pragma once
// A deleted forum's row goes at once, in the control panel's transaction;
// its posts follow in batches, each a transaction of its own, so that
// posting waits for one batch at most. forum_deleting names the forums whose
// posts are still going (core/NameCascades.h, OnDelete::DeleteInBatches);
// what a crash leaves there goes from the next start on. The posts are
// hidden meanwhile: every page that shows a post reads its forum's row.
#include <string>

namespace platform {
class Connection;
}

namespace core {

inline constexpr int kForumDeletionBatch = 500;

// Deletes the rows left of every deleted forum, `batch` rows a transaction;
// a forum's note goes with its last batch.
void FinishForumDeletions(platform::Connection& con, int batch = kForumDeletionBatch);

// The same aside (platform/Background.h), on a connection of its own to the
// database file at `path`.
void FinishForumDeletionsSoon(const std::string& path);

}  // namespace core
