#include "board/search/SearchIndexQueue.h"

#include <filesystem>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "platform/Background.h"
#include "platform/Connection.h"
#include "platform/Recordset.h"
#include "platform/StopHooks.h"

namespace board {

namespace {

// Posts a transaction indexes at most: a batch holds the write lock for
// the time its posts take, and posting waits meanwhile.
constexpr int kBatchPosts = 256;

struct QueueState {
    bool running = false;  // a batch is being written
    bool asked = false;    // posts were queued since it began
};

// Guards `queues`: each file's running and asked flags.
std::mutex queueMutex;
std::map<std::string, QueueState> queues;  // by database file

bool AnyQueued(platform::Connection& con) {
    platform::Recordset rs;
    rs.Open("select exists (select 1 from post_words_pending)", con);
    return rs.Fields(0).toDouble() != 0;
}

// Indexes the queue's oldest posts in one transaction; false when it was empty.
bool IndexOneBatch(platform::Connection& con) {
    if (!AnyQueued(con)) return false;
    const platform::SqlParams limit = {platform::Variant(kBatchPosts)};
    platform::Transaction write(con);
    con.Execute("insert into post_words (rowid, subject, message) "
                "select postid, subject, message from post "
                "where postid in (select postid from post_words_pending order by postid limit ?)",
                limit);
    con.Execute("delete from post_words_pending where postid in "
                "(select postid from post_words_pending order by postid limit ?)",
                limit);
    write.Commit();
    return true;
}

}  // namespace

long long MergeIndexStep(platform::Connection& con, int pages) {
    platform::Transaction write(con);
    const long long before = con.TotalChanges();
    con.Execute("insert into post_words (post_words, rank) values ('merge', ?)", {platform::Variant(pages)});
    // A step that found nothing to merge changes no more than one row.
    const long long changed = con.TotalChanges() - before;
    write.Commit();
    return changed > 1 ? changed : 0;
}

namespace {

void RunBatches(const std::string& file) {
    try {
        for (;;) {
            {
                std::lock_guard lock(queueMutex);
                queues[file].asked = false;
            }
            platform::Connection con;
            con.OpenFile(file);
            IndexQueuedPosts(con);
            std::lock_guard lock(queueMutex);
            QueueState& state = queues[file];
            if (!state.asked) {
                state.running = false;
                return;
            }
        }
    } catch (...) {
        std::lock_guard lock(queueMutex);
        queues[file].running = false;
        throw;
    }
}

}  // namespace

// A batch, then a step of merging, in turn: the index's segments are
// merged a little after each batch instead of a whole level at once inside
// one, and a stream of posts does not hold the merging back.
void IndexQueuedPosts(platform::Connection& con) {
    for (;;) {
        const bool indexed = IndexOneBatch(con);
        const bool merged = MergeIndexStep(con) > 0;
        if (!indexed && !merged) break;
    }
    // The burst of posts that asked for the batches is written: its share
    // of the log need not stay.
    con.CheckpointLog();
}

void IndexQueuedPostsSoon(platform::Connection& con) {
    const std::string file = con.FilePath();
    {
        std::lock_guard lock(queueMutex);
        QueueState& state = queues[file];
        if (state.running) {
            state.asked = true;
            return;
        }
        state.running = true;
    }
    platform::RunInBackground([file] { RunBatches(file); });
}

void IndexAllQueuedPosts() {
    std::vector<std::string> files;
    {
        std::lock_guard lock(queueMutex);
        // The queue of a database file that is gone has nowhere to go.
        std::erase_if(queues, [](const auto& entry) { return !std::filesystem::exists(entry.first); });
        for (const auto& [file, state] : queues) files.push_back(file);
    }
    platform::ForEachDatabase(files, IndexQueuedPosts);
}

namespace {
[[maybe_unused]] const bool indexedAtStop = (platform::AtStop(IndexAllQueuedPosts), true);
}  // namespace

}  // namespace board
