#include "board/browse/ThreadHits.h"

#include <chrono>
#include <filesystem>
#include <map>
#include <mutex>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/Background.h"
#include "platform/Connection.h"
#include "platform/StopHooks.h"

namespace board {

namespace {

using Clock = std::chrono::steady_clock;
using Views = std::unordered_map<long long, long>;  // topic id -> views not yet written

constexpr auto kBatchInterval = std::chrono::seconds(1);

struct Tally {
    Views views;
    Clock::time_point lastWrite{};  // long ago: the first view is written at once
    bool writing = false;           // one batch at a time per database
};

// Guards `tallies`: each file's views not yet written and its batch state.
std::mutex tallyMutex;
std::map<std::string, Tally> tallies;  // by database file

// False, having written nothing, when the write lock is taken elsewhere
// and `wait` says not to wait for it.
bool WriteViews(platform::Connection& con, const Views& views, platform::LockWait wait) {
    if (views.empty()) return true;
    platform::Transaction transaction(con, wait);
    if (!transaction.Begun()) return false;
    for (const auto& [topic, count] : views)
        con.Execute("update post set hits = ifnull(hits, 0) + ? where postid = ? or parentid = ?",
                    {platform::Variant(count), platform::Variant(topic), platform::Variant(topic)});
    transaction.Commit();
    return true;
}

// Ends the batch of the database's tally; views not written go back to the
// tally for the next batch.
void EndBatch(const std::string& file, const Views& unwritten) {
    std::lock_guard lock(tallyMutex);
    Tally& tally = tallies[file];
    for (const auto& [topic, count] : unwritten) tally.views[topic] += count;
    tally.writing = false;
}

void WriteBatch(platform::Connection& con, const std::string& file, const Views& batch, platform::LockWait wait) {
    bool written = false;
    try {
        written = WriteViews(con, batch, wait);
    } catch (...) {
        EndBatch(file, batch);
        throw;
    }
    EndBatch(file, written ? Views{} : batch);
}

// Takes the tally's views for writing; false while another batch is written.
bool TakeBatch(Tally& tally, Views& batch) {
    if (tally.writing) return false;
    batch.swap(tally.views);
    tally.writing = true;
    tally.lastWrite = Clock::now();
    return true;
}

// Writes a batch through a connection of its own.
void WriteBatchTo(const std::string& file, const Views& batch) {
    platform::Connection con;
    try {
        con.OpenFile(file);
    } catch (...) {
        EndBatch(file, batch);
        throw;
    }
    // Nor does the batch wait for another connection's write: it waits for
    // a later view instead.
    WriteBatch(con, file, batch, platform::LockWait::Never);
}

}  // namespace

void CountThreadView(platform::Connection& con, long long topicId) {
    const std::string file = con.FilePath();
    Views batch;
    {
        std::lock_guard lock(tallyMutex);
        Tally& tally = tallies[file];
        ++tally.views[topicId];
        if (Clock::now() - tally.lastWrite < kBatchInterval || !TakeBatch(tally, batch)) return;
    }
    // Rewriting a long thread's posts takes a while: the page does not wait
    // for it where the program runs such work aside.
    platform::RunInBackground([file, batch = std::move(batch)] { WriteBatchTo(file, batch); });
}

void FlushThreadViews(platform::Connection& con) {
    const std::string file = con.FilePath();
    Views batch;
    {
        std::lock_guard lock(tallyMutex);
        if (!TakeBatch(tallies[file], batch)) return;
    }
    WriteBatch(con, file, batch, platform::LockWait::ForLock);
}

void FlushAllThreadViews() {
    std::vector<std::string> files;
    {
        std::lock_guard lock(tallyMutex);
        // The views of a database file that is gone have nowhere to go.
        std::erase_if(tallies, [](const auto& entry) { return !std::filesystem::exists(entry.first); });
        for (const auto& [file, tally] : tallies)
            if (!tally.views.empty()) files.push_back(file);
    }
    platform::ForEachDatabase(files, FlushThreadViews);
}

namespace {
[[maybe_unused]] const bool flushedAtStop = (platform::AtStop(FlushAllThreadViews), true);
}  // namespace

}  // namespace board
