#pragma once
// Thin owners of SQLite handles that turn every failure into the board's
// run-time error (kErrDatabase, SQLite's message as description).
#include <atomic>
#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <unordered_map>

#include "platform/Connection.h"
#include "platform/FileIdentity.h"
#include "platform/Variant.h"

struct sqlite3;
struct sqlite3_stmt;

namespace platform {

// How long a statement waits for another connection's write lock.
inline constexpr int kLockWaitMilliseconds = 5000;

// Past this size the write-ahead log is cut back: to this size when it
// starts over after a checkpoint, and to nothing when a checkpoint copied
// all of it and no reader still reads from it. A burst of writes grows it,
// and SQLite alone never gives the space back.
inline constexpr long long kLogSizeLimitBytes = 16LL << 20;

// Who may use a handle: one connection at a time (the pool's handles), or
// in turn the writers of the file (the write turn's handle, granted to the
// thread holding the turn).
enum class HandleUse { OneConnection, WritersInTurn };

class SqliteDatabase {
public:
    // Opens an existing database file; `create` also creates a missing one.
    explicit SqliteDatabase(const std::string& path, bool create = false,
                            HandleUse use = HandleUse::OneConnection);
    ~SqliteDatabase();
    SqliteDatabase(const SqliteDatabase&) = delete;
    SqliteDatabase& operator=(const SqliteDatabase&) = delete;

    sqlite3* handle() const { return db_; }
    // Runs statements without parameters or results (schema, BEGIN, ...).
    void Exec(const std::string& sql);
    // The same without waiting for a lock: false when the database is busy.
    bool TryExec(const std::string& sql);
    [[noreturn]] void Fail() const;
    [[noreturn]] static void Fail(const std::string& description);
    // A failure SQLite reported with `code`: the board is unavailable for
    // now when the file cannot be written or read (full, locked, read-only,
    // damaged), at fault itself otherwise.
    [[noreturn]] static void Fail(int code, const std::string& description);

    // Prepared statements kept for reuse: pages run the same statements on
    // every request, and handles are reused across requests.
    sqlite3_stmt* TakeCachedStatement(const std::string& sql);
    void CacheStatement(std::string sql, sqlite3_stmt* stmt);

    // Row counts kept while the database's content stays the same, by a key
    // naming the counted statement and its values: paged lists count the
    // same rows request after request. Any commit to the file, by this
    // handle or another, forgets them all; inside a transaction none are
    // kept or given.
    std::optional<long long> KnownCount(const std::string& key);
    void KeepCount(std::string key, long long count);

    // Results built from the rows, kept and forgotten like the counts; at
    // most kMaxKeptBytes of them (as their keepers count them) a handle, so
    // 8 MiB with the pool's 16 idle handles, room for a few pages of rows
    // each. Kept results outlive the request that built them, scattered
    // over the allocator's arenas: at 2 MiB a handle they held a soak's
    // resident memory about a dozen megabytes up. Past the bound the handle
    // starts afresh: pages then cost what they cost without it, never more.
    std::shared_ptr<const void> KeptResult(const std::string& key);
    void KeepResult(std::string key, std::shared_ptr<const void> result, std::size_t bytes);
    static constexpr std::size_t kMaxKeptBytes = 512 << 10;

    // One read transaction for many statements: a page reads from one state
    // of the file, and skips starting and ending a read for each statement.
    // Wanted on a handle, it begins at the handle's next read outside a
    // transaction and ends (committed, so nothing written in it is lost) at
    // the first statement that writes or controls transactions, at
    // BeginTrans, and when the connection closes. Statements after a write
    // run each in its own transaction as usual.
    void WantSnapshot(bool wanted) { snapshotWanted_ = wanted; }
    bool InSnapshot() const { return inSnapshot_; }
    void EndSnapshot();
    // Called before a statement's first step after it was prepared or reset.
    void BeforeStatement(sqlite3_stmt* stmt, std::string_view sql);

    // Writing: a handle that writes reads through its page cache from then
    // on, and while it holds the board's write turn (Connection) the
    // checkpoint of the write-ahead log waits until the turn is passed on:
    // EndWriting tells whether one fell due, for Checkpoint after the turn.
    void StartWriting();
    [[nodiscard]] bool EndWriting();
    // Copies the log into the file, never waiting for readers or writers.
    void Checkpoint();
    // Drops the memory map (see StartWriting) without writing.
    void ReadWithoutMap();
    // What the page cache holds now, in bytes.
    std::size_t PageCacheBytes() const;

    // A handle of the write turn serves only the thread it is granted to;
    // anything else (a statement kept past its transaction's end) fails
    // instead of running inside another writer's transaction.
    void GrantTo(std::thread::id thread) {
        holder_.store(thread);
        grant_.fetch_add(1);
    }
    // Each grant has its number: statements and record sets made under one
    // serve no later one, not even on the same thread.
    unsigned CurrentGrant() const { return grant_.load(); }
    bool UsableUnder(unsigned grant) const {
        return use_ == HandleUse::OneConnection || (grant == grant_.load() && UsableHere());
    }
    void CheckUsableUnder(unsigned grant) const;
    // Ends the reads of statements left unfinished, which would keep the
    // handle on an old state of the file and fail the next transaction.
    void ResetUnfinishedStatements();
    void RollBackWhatIsOpen();
    bool UsableHere() const { return use_ == HandleUse::OneConnection || holder_.load() == std::this_thread::get_id(); }
    void CheckUsableHere() const { CheckUsableUnder(CurrentGrant()); }
    // Called while the turn is still held: starts the log over when it grew
    // past its bound under commits that left it no pause.
    void RestartLogIfDue();

private:
    sqlite3* db_ = nullptr;
    bool mapped_ = true;
    bool inWriteTurn_ = false;
    bool checkpointDue_ = false;
    bool restartDue_ = false;
    std::atomic<std::chrono::steady_clock::rep>* lastCheckpoint_ = nullptr;
    static int OnCommit(void* self, sqlite3*, const char*, int walPages);
    // A checkpoint of the given kind that does not wait for readers or
    // writers; false when one was in the way.
    bool CheckpointWithoutWaiting(int mode, int* logPages = nullptr, int* copiedPages = nullptr);
    long long LogFileBytes() const;
    // Whether a statement waits (kLockWaitMilliseconds at most) for another
    // connection's lock, or fails busy at once.
    void WaitForLocks(bool wait);
    const HandleUse use_;
    std::atomic<std::thread::id> holder_{};
    std::atomic<unsigned> grant_{0};
    std::unordered_map<std::string, sqlite3_stmt*> statements_;

    unsigned ContentVersion();
    sqlite3_stmt* dataVersion_ = nullptr;
    void RunCached(sqlite3_stmt*& stmt, const char* sql);
    // At a read outside a transaction, when wanted and not begun yet.
    void BeginSnapshotIfWanted();
    sqlite3_stmt* begin_ = nullptr;
    sqlite3_stmt* commit_ = nullptr;
    bool snapshotWanted_ = false;
    bool inSnapshot_ = false;
    unsigned snapshotVersion_ = 0;
    // False inside a write transaction; else forgets what was kept when the
    // content moved on since.
    bool KeptAreCurrent();
    bool MayKeep() const;
    std::optional<unsigned> keptVersion_;  // the content version counts and results were made at
    std::unordered_map<std::string, long long> counts_;
    struct KeptResultEntry {
        std::shared_ptr<const void> result;
        std::size_t bytes;
    };
    std::unordered_map<std::string, KeptResultEntry> results_;
    std::size_t resultBytes_ = 0;
};

// A handle for one connection to the database file at `path`. Handles are
// kept for reuse when their last user lets go (outside a transaction), so
// that opening a connection per request skips reading the schema again.
std::shared_ptr<SqliteDatabase> AcquireDatabase(const std::string& path);
// The page cache of such a handle. It reads from the memory map until its
// first write, and from then on (and the pages still in the write-ahead
// log) through the cache, which every commit of another handle empties
// anyway. SQLite's default of 2 MiB a handle, filled and emptied again and
// again on every pooled handle, kept the allocator's arenas growing. The
// write turn's handle, whose cache lives from one transaction to the next,
// and the upgrade's keep the default.
inline constexpr int kPooledPageCacheKiB = 256;
// Idle handles kept for reuse, over all files (for tests).
std::size_t IdleDatabaseHandles();

// How a result column's values are read, from its declared type.
enum class ColumnKind { Plain, Bit, DateTime, Untyped };

class SqliteStatement {
public:
    SqliteStatement(std::shared_ptr<SqliteDatabase> db, std::string_view sql);
    ~SqliteStatement();
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;

    int ParameterCount() const;
    // Binds `params` to the placeholders from `first` on (1-based).
    void Bind(const SqlParams& params, int first = 1);
    void Bind(int index, const Variant& value);
    void BindInt(int index, long long value);
    // True when a row is ready, false when the statement is done.
    bool Step();
    void Reset();
    bool ReadOnly() const;

    int ColumnCount() const;
    std::string ColumnName(int i) const;
    ColumnKind Kind(int i) const;
    // The table column a result column comes from; "" for expressions.
    std::string OriginColumn(int i) const;
    Variant Value(int i, ColumnKind kind) const;
    long long Int(int i) const;

    SqliteDatabase& Database() const { return *db_; }

private:
    std::shared_ptr<SqliteDatabase> db_;
    std::string sql_;
    sqlite3_stmt* stmt_ = nullptr;
    bool stepped_ = false;  // since prepared or reset
    unsigned grant_ = 0;    // of the handle, when it is the write turn's
};

// True for text of exactly the stored date form "yyyy-mm-dd hh:nn:ss".
bool IsStoredDateText(std::string_view text);

}  // namespace platform
