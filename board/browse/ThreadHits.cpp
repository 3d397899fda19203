#include "board/browse/ThreadHits.h"

#include <sqlite3.h>

#include <chrono>
#include <map>
#include <mutex>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/Connection.h"
#include "platform/SqliteDatabase.h"

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

std::mutex tallyMutex;
std::map<std::string, Tally> tallies;  // by database file

std::string DatabaseFile(platform::Connection& con) {
    const char* file = sqlite3_db_filename(con.Database()->handle(), "main");
    return file ? file : "";
}

void WriteViews(platform::Connection& con, const Views& views) {
    platform::Transaction transaction(con);
    for (const auto& [topic, count] : views)
        con.Execute("update post set hits = ifnull(hits, 0) + ? where postid = ? or parentid = ?",
                    {platform::Variant(count), platform::Variant(topic), platform::Variant(topic)});
    transaction.Commit();
}

// Writes a batch taken from the database's tally; a failed write puts the
// views back for the next batch.
void WriteBatch(platform::Connection& con, const std::string& file, Views batch) {
    try {
        if (!batch.empty()) WriteViews(con, batch);
    } catch (...) {
        std::lock_guard lock(tallyMutex);
        Tally& tally = tallies[file];
        for (const auto& [topic, count] : batch) tally.views[topic] += count;
        tally.writing = false;
        throw;
    }
    std::lock_guard lock(tallyMutex);
    tallies[file].writing = false;
}

// Takes the tally's views for writing; false while another batch is written.
bool TakeBatch(Tally& tally, Views& batch) {
    if (tally.writing) return false;
    batch.swap(tally.views);
    tally.writing = true;
    tally.lastWrite = Clock::now();
    return true;
}

}  // namespace

void CountThreadView(platform::Connection& con, long long topicId) {
    const std::string file = DatabaseFile(con);
    Views batch;
    {
        std::lock_guard lock(tallyMutex);
        Tally& tally = tallies[file];
        ++tally.views[topicId];
        if (Clock::now() - tally.lastWrite < kBatchInterval || !TakeBatch(tally, batch)) return;
    }
    WriteBatch(con, file, std::move(batch));
}

void FlushThreadViews(platform::Connection& con) {
    const std::string file = DatabaseFile(con);
    Views batch;
    {
        std::lock_guard lock(tallyMutex);
        if (!TakeBatch(tallies[file], batch)) return;
    }
    WriteBatch(con, file, std::move(batch));
}

void FlushAllThreadViews() {
    std::vector<std::string> files;
    {
        std::lock_guard lock(tallyMutex);
        for (const auto& [file, tally] : tallies)
            if (!tally.views.empty()) files.push_back(file);
    }
    for (const std::string& file : files) {
        platform::Connection con;
        con.OpenFile(file);
        FlushThreadViews(con);
    }
}

}  // namespace board
