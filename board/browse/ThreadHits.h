#pragma once
// The hit counter of a thread: every complete view of any of its pages
// raises the hits of the topic and of each of its replies by one.
//
// Raising the hits of a long thread rewrites every one of its posts, so
// views are tallied in memory and written in batches: the first view after
// a quiet second is written at once (with any views still tallied); views
// that follow within the second are added to the next batch, which the
// first view after that second writes (aside, where the program runs work
// in the background: platform/Background.h). No view waits for another's
// write (a batch that finds the write lock taken waits for a later view),
// and none is lost while the process runs; what is tallied when it stops
// is written by its stop hook (platform::RunStopHooks).
namespace platform {
class Connection;
}

namespace board {

void CountThreadView(platform::Connection& con, long long topicId);

// Writes every view still tallied for the connection's database.
void FlushThreadViews(platform::Connection& con);
// The same for every database, each through a connection of its own (the
// stop hook).
void FlushAllThreadViews();

}  // namespace board
