#pragma once
// Posts reach the search index in batches. A trigger queues every new or
// edited post (post_words_pending); posting then asks for the queue to be
// indexed, aside where the program runs work in the background
// (platform/Background.h). Posts that arrive while a batch is written go
// into the next one, so under a stream of posts each batch takes many and
// the index grows by one segment a batch, not one a post. The search reads
// the queue with the index, so a post is found from its commit on; what
// is queued when the process stops is indexed by its stop hook, and what a
// crash left queued at the next start.
namespace platform {
class Connection;
}

namespace board {

// After a commit that queued posts: indexes the queue of the connection's
// database, or has the batch that runs index them too.
void IndexQueuedPostsSoon(platform::Connection& con);

// The index's segments are merged in small steps, each its own short
// transaction, between the batches (the index merges nothing by itself):
// a step writes about `pages` pages of the index. Gives the rows of the
// index it changed, 0 when no level had segments enough to merge.
inline constexpr int kMergeStepPages = 256;
long long MergeIndexStep(platform::Connection& con, int pages = kMergeStepPages);

// At start: posts a crash left in the queue are indexed as after a
// commit, not only when the next post arrives.
void IndexLeftoverPosts(platform::Connection& con);

// Indexes every queued post of the connection's database now, and merges
// the index's segments.
void IndexQueuedPosts(platform::Connection& con);
// The same for every database seen, each through a connection of its own
// (the stop hook).
void IndexAllQueuedPosts();

}  // namespace board
