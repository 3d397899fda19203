#include "platform/SqliteDatabase.h"

#include <sqlite3.h>
#include <strings.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <map>
#include <mutex>
#include <thread>

#include "platform/DateTime.h"
#include "platform/Error.h"
#include "platform/SqliteCharacterPairs.h"
#include "platform/WaitMark.h"
#include "platform/WriteTurn.h"

namespace platform {

namespace {

ColumnKind KindOfDeclaredType(const char* declared) {
    if (!declared) return ColumnKind::Untyped;
    if (strcasecmp(declared, "BIT") == 0 || strcasecmp(declared, "BOOLEAN") == 0) return ColumnKind::Bit;
    if (strcasestr(declared, "DATE") || strcasestr(declared, "TIME")) return ColumnKind::DateTime;
    return ColumnKind::Plain;
}

// SQLite's memory statistics take one process-wide lock on every
// allocation, which serialises the page threads; the board reads none of
// them. This must run before SQLite initialises, hence at the first open.
// Every connection then knows the search index's tokenizer.
void ConfigureSqliteOnce() {
    static const bool configured = [] {
        sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
        RegisterCharacterPairsTokenizer();
        return true;
    }();
    (void)configured;
}

// SQLite's own busy wait with a wait mark around each sleep: a statement
// that waits for another connection's lock is a page that waits. The
// sleeps grow as SQLite's do, up to kLockWaitMilliseconds in all.
int WaitForLock(void*, int tries) {
    static constexpr int kSleeps[] = {1, 2, 5, 10, 15, 20, 25, 25, 25, 50, 50, 100};
    constexpr int kKnown = sizeof kSleeps / sizeof kSleeps[0];
    int slept = 0;
    for (int i = 0; i < std::min(tries, kKnown); ++i) slept += kSleeps[i];
    if (tries > kKnown) slept += (tries - kKnown) * kSleeps[kKnown - 1];
    const int sleep = std::min(kSleeps[std::min(tries, kKnown - 1)], kLockWaitMilliseconds - slept);
    if (sleep <= 0) return 0;
    const WaitMark waiting;
    std::this_thread::sleep_for(std::chrono::milliseconds(sleep));
    return 1;
}

// BEGIN, COMMIT, END, ROLLBACK, SAVEPOINT and RELEASE: SQLite counts them
// as read-only, but none may run inside a snapshot.
bool ControlsTransactions(std::string_view sql) {
    std::size_t i = 0;
    while (i < sql.size() && std::isspace(static_cast<unsigned char>(sql[i]))) ++i;
    std::size_t end = i;
    while (end < sql.size() && std::isalpha(static_cast<unsigned char>(sql[end]))) ++end;
    const std::string_view word = sql.substr(i, end - i);
    for (const char* keyword : {"BEGIN", "COMMIT", "END", "ROLLBACK", "SAVEPOINT", "RELEASE"})
        if (word.size() == std::strlen(keyword) && strncasecmp(word.data(), keyword, word.size()) == 0) return true;
    return false;
}

// When a checkpoint of the file last began (steady clock ticks), shared by
// its handles.
std::atomic<std::chrono::steady_clock::rep>& LastCheckpointOf(const std::string& path) {
    static std::mutex lock;
    static std::map<std::string, std::unique_ptr<std::atomic<std::chrono::steady_clock::rep>>> files;
    std::lock_guard guard(lock);
    auto& slot = files[path];
    if (!slot) slot = std::make_unique<std::atomic<std::chrono::steady_clock::rep>>(0);
    return *slot;
}

}  // namespace

bool IsStoredDateText(std::string_view t) {
    static constexpr std::string_view form = "dddd-dd-dd dd:dd:dd";
    if (t.size() != form.size()) return false;
    for (std::size_t i = 0; i < form.size(); ++i) {
        if (form[i] == 'd' ? !std::isdigit(static_cast<unsigned char>(t[i])) : t[i] != form[i])
            return false;
    }
    return true;
}

SqliteDatabase::SqliteDatabase(const std::string& path, bool create, HandleUse use) : use_(use) {
    ConfigureSqliteOnce();
    // The write turn's handle is used by one thread at a time, but a
    // statement kept past its turn may still be finalized by another.
    const int threading = use == HandleUse::WritersInTurn ? SQLITE_OPEN_FULLMUTEX : SQLITE_OPEN_NOMUTEX;
    int flags = SQLITE_OPEN_READWRITE | threading | (create ? SQLITE_OPEN_CREATE : 0);
    int rc = sqlite3_open_v2(path.c_str(), &db_, flags, nullptr);
    if (rc != SQLITE_OK) {
        std::string message = db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(rc);
        sqlite3_close_v2(db_);
        db_ = nullptr;
        Fail(rc, message);
    }
    // Concurrent requests wait for each other's writes instead of failing.
    WaitForLocks(true);
    sqlite3_exec(db_, "PRAGMA mmap_size=268435456", nullptr, nullptr, nullptr);
    // With the write-ahead log a commit need not wait for the disk: the file
    // stays sound after a crash, and only the last commits before a power
    // loss may go.
    sqlite3_exec(db_, "PRAGMA synchronous=NORMAL", nullptr, nullptr, nullptr);
    sqlite3_exec(db_, ("PRAGMA journal_size_limit=" + std::to_string(kLogSizeLimitBytes)).c_str(), nullptr, nullptr,
                 nullptr);
    // Replaces SQLite's own checkpoint after commits (same threshold).
    lastCheckpoint_ = &LastCheckpointOf(path);
    sqlite3_wal_hook(db_, &SqliteDatabase::OnCommit, this);
}

// A checkpoint copies the log into the file (and syncs it); run inside the
// write turn it would hold up every writer queued behind it. Readers and
// writers go on meanwhile: a checkpoint that finds another one running
// leaves the work to it.
//
// Under a stream of commits the log stays past the threshold, and every
// commit would run a checkpoint, each syncing the file; one a tenth of a
// second per file copies as much and leaves the disk to the writers. Nor
// does the log start over while commits follow each other without a pause:
// past kRestartPages the writer that holds the write turn restarts it
// before passing the turn on, so the log stays within that size.
int SqliteDatabase::OnCommit(void* self, sqlite3*, const char*, int walPages) {
    constexpr int kCheckpointPages = 1000;
    constexpr std::chrono::milliseconds kCheckpointInterval(100);
    constexpr int kRestartPages = 16000;
    auto* db = static_cast<SqliteDatabase*>(self);
    if (walPages < kCheckpointPages) return SQLITE_OK;
    if (walPages >= kRestartPages && db->inWriteTurn_) db->restartDue_ = true;
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    auto last = db->lastCheckpoint_->load(std::memory_order_relaxed);
    if (now - std::chrono::steady_clock::duration(last) < kCheckpointInterval ||
        !db->lastCheckpoint_->compare_exchange_strong(last, now.count()))
        return SQLITE_OK;
    if (db->inWriteTurn_)
        db->checkpointDue_ = true;
    else
        db->Checkpoint();
    return SQLITE_OK;
}

void SqliteDatabase::Checkpoint() {
    checkpointDue_ = false;
    int logPages = 0, copiedPages = 0;
    if (!CheckpointWithoutWaiting(SQLITE_CHECKPOINT_PASSIVE, &logPages, &copiedPages)) return;
    // All of a log past its bound copied: it is cut back at once, not only
    // when the next writer starts it over (which may be long after a burst).
    if (logPages == 0 || copiedPages != logPages || LogFileBytes() <= kLogSizeLimitBytes) return;
    // Cutting back takes SQLite's write lock, and a writer in the turn that
    // met it would sleep in SQLite's busy wait with the queue behind it: it
    // runs in the turn, and only when no one holds or waits for it. Under a
    // stream of writes SQLite cuts the log back itself, at the first commit
    // after the log starts over (journal_size_limit).
    WriteTurn& turn = WriteTurn::Of(sqlite3_db_filename(db_, "main"));
    if (!turn.TryAcquire()) return;
    HeldTurn held(turn);
    CheckpointWithoutWaiting(SQLITE_CHECKPOINT_TRUNCATE);
}

void SqliteDatabase::WaitForLocks(bool wait) {
    sqlite3_busy_handler(db_, wait ? &WaitForLock : nullptr, nullptr);
}

bool SqliteDatabase::CheckpointWithoutWaiting(int mode, int* logPages, int* copiedPages) {
    WaitForLocks(false);
    const int rc = sqlite3_wal_checkpoint_v2(db_, nullptr, mode, logPages, copiedPages);
    WaitForLocks(true);
    return rc == SQLITE_OK;
}

long long SqliteDatabase::LogFileBytes() const {
    const char* file = sqlite3_db_filename(db_, "main");
    if (!file || !*file) return 0;
    std::error_code failed;
    const auto bytes = std::filesystem::file_size(sqlite3_filename_wal(file), failed);
    return failed ? 0 : static_cast<long long>(bytes);
}

// After every commit by another handle, SQLite drops a handle's whole
// memory map at its next read and maps the file afresh, which under a
// stream of writes costs more than the map saves (each unmap stops every
// thread of the server to flush its address translations). Handles that
// only read keep their map.
void SqliteDatabase::ReadWithoutMap() {
    if (!mapped_) return;
    sqlite3_exec(db_, "PRAGMA mmap_size=0", nullptr, nullptr, nullptr);
    mapped_ = false;
}

std::size_t SqliteDatabase::PageCacheBytes() const {
    int bytes = 0, highest = 0;
    sqlite3_db_status(db_, SQLITE_DBSTATUS_CACHE_USED, &bytes, &highest, 0);
    return static_cast<std::size_t>(bytes);
}

void SqliteDatabase::StartWriting() {
    ReadWithoutMap();
    inWriteTurn_ = true;
}

void SqliteDatabase::ResetUnfinishedStatements() {
    for (sqlite3_stmt* stmt = sqlite3_next_stmt(db_, nullptr); stmt; stmt = sqlite3_next_stmt(db_, stmt))
        if (sqlite3_stmt_busy(stmt)) sqlite3_reset(stmt);
}

void SqliteDatabase::RollBackWhatIsOpen() {
    if (!sqlite3_get_autocommit(db_)) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
}

void SqliteDatabase::CheckUsableUnder(unsigned grant) const {
    if (!UsableUnder(grant)) Fail(kEndedTransactionText);
}

// Readers still on the log leave the restart to a later commit: waiting
// for them here would hold up every writer queued for the turn.
void SqliteDatabase::RestartLogIfDue() {
    if (!restartDue_) return;
    restartDue_ = false;
    CheckpointWithoutWaiting(SQLITE_CHECKPOINT_RESTART);
}

bool SqliteDatabase::EndWriting() {
    inWriteTurn_ = false;
    const bool due = checkpointDue_;
    checkpointDue_ = false;
    return due;
}

SqliteDatabase::~SqliteDatabase() {
    for (auto& [sql, stmt] : statements_) sqlite3_finalize(stmt);
    sqlite3_finalize(dataVersion_);
    sqlite3_finalize(begin_);
    sqlite3_finalize(commit_);
    sqlite3_close_v2(db_);
}

sqlite3_stmt* SqliteDatabase::TakeCachedStatement(const std::string& sql) {
    auto it = statements_.find(sql);
    if (it == statements_.end()) return nullptr;
    sqlite3_stmt* stmt = it->second;
    statements_.erase(it);
    return stmt;
}

void SqliteDatabase::CacheStatement(std::string sql, sqlite3_stmt* stmt) {
    // Statements built with their values inline are rarely run twice; a
    // small bound keeps them from piling up.
    constexpr std::size_t kMaxCachedStatements = 64;
    if (statements_.size() >= kMaxCachedStatements) {
        auto first = statements_.begin();
        sqlite3_finalize(first->second);
        statements_.erase(first);
    }
    auto [it, added] = statements_.try_emplace(std::move(sql), stmt);
    if (!added) sqlite3_finalize(stmt);  // the same text was in use twice at once
}

// The pager's data version moves with every commit to the file, this
// handle's own or another connection's; the latter are seen when a read
// begins, which "PRAGMA data_version" does.
unsigned SqliteDatabase::ContentVersion() {
    if (!dataVersion_ && sqlite3_prepare_v2(db_, "PRAGMA data_version", -1, &dataVersion_, nullptr) != SQLITE_OK)
        Fail();
    const int rc = sqlite3_step(dataVersion_);
    sqlite3_reset(dataVersion_);
    if (rc != SQLITE_ROW) Fail();
    unsigned version = 0;
    if (sqlite3_file_control(db_, "main", SQLITE_FCNTL_DATA_VERSION, &version) != SQLITE_OK) Fail();
    return version;
}

void SqliteDatabase::RunCached(sqlite3_stmt*& stmt, const char* sql) {
    if (!stmt && sqlite3_prepare_v2(db_, sql, -1, &stmt, nullptr) != SQLITE_OK) Fail();
    const int rc = sqlite3_step(stmt);
    sqlite3_reset(stmt);
    if (rc != SQLITE_DONE) Fail();
}

void SqliteDatabase::BeforeStatement(sqlite3_stmt* stmt, std::string_view sql) {
    if (!inSnapshot_ && !snapshotWanted_) return;
    const bool reads = sqlite3_stmt_readonly(stmt) && !ControlsTransactions(sql);
    if (inSnapshot_) {
        if (!reads) EndSnapshot();
    } else if (reads) {
        BeginSnapshotIfWanted();
    }
}

void SqliteDatabase::BeginSnapshotIfWanted() {
    if (!snapshotWanted_ || inSnapshot_ || !sqlite3_get_autocommit(db_)) return;
    RunCached(begin_, "BEGIN");
    inSnapshot_ = true;
    try {
        snapshotVersion_ = ContentVersion();  // its read starts the snapshot
    } catch (...) {
        EndSnapshot();
        throw;
    }
}

void SqliteDatabase::EndSnapshot() {
    // One snapshot a page: what runs after a write sees the write.
    snapshotWanted_ = false;
    if (!inSnapshot_) return;
    inSnapshot_ = false;
    if (!sqlite3_get_autocommit(db_)) RunCached(commit_, "COMMIT");
}

bool SqliteDatabase::KeptAreCurrent() {
    if (!UsableHere()) return false;
    // A page's first read may be a count: its snapshot begins here, and
    // the check of the content version is the snapshot's own read.
    BeginSnapshotIfWanted();
    if (!inSnapshot_ && !sqlite3_get_autocommit(db_)) return false;
    const unsigned version = inSnapshot_ ? snapshotVersion_ : ContentVersion();
    if (keptVersion_ != version) {
        counts_.clear();
        results_.clear();
        resultBytes_ = 0;
        keptVersion_ = version;
    }
    return true;
}

// Something read after the last check may be newer than the version kept
// with it; the next check then finds the version moved and forgets it.
bool SqliteDatabase::MayKeep() const {
    return UsableHere() && (inSnapshot_ || sqlite3_get_autocommit(db_)) && keptVersion_;
}

std::optional<long long> SqliteDatabase::KnownCount(const std::string& key) {
    if (!KeptAreCurrent()) return std::nullopt;
    const auto it = counts_.find(key);
    if (it == counts_.end()) return std::nullopt;
    return it->second;
}

void SqliteDatabase::KeepCount(std::string key, long long count) {
    // Keys carry values such as a day filter's start time, so old ones pile
    // up while nothing is written.
    constexpr std::size_t kMaxCounts = 256;
    if (!MayKeep()) return;
    if (counts_.size() >= kMaxCounts) counts_.clear();
    counts_[std::move(key)] = count;
}

std::shared_ptr<const void> SqliteDatabase::KeptResult(const std::string& key) {
    if (!KeptAreCurrent()) return nullptr;
    const auto it = results_.find(key);
    return it == results_.end() ? nullptr : it->second.result;
}

void SqliteDatabase::KeepResult(std::string key, std::shared_ptr<const void> result, std::size_t bytes) {
    if (!MayKeep() || bytes > kMaxKeptBytes) return;
    if (const auto old = results_.find(key); old != results_.end()) {
        resultBytes_ -= old->second.bytes;
        results_.erase(old);
    }
    if (resultBytes_ + bytes > kMaxKeptBytes) {
        results_.clear();
        resultBytes_ = 0;
    }
    results_.emplace(std::move(key), KeptResultEntry{std::move(result), bytes});
    resultBytes_ += bytes;
}

void SqliteDatabase::Exec(const std::string& sql) {
    CheckUsableHere();
    if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) Fail();
}

bool SqliteDatabase::TryExec(const std::string& sql) {
    CheckUsableHere();
    WaitForLocks(false);
    const int rc = sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr);
    const std::string message = rc == SQLITE_OK || rc == SQLITE_BUSY ? "" : sqlite3_errmsg(db_);
    WaitForLocks(true);
    if (rc == SQLITE_BUSY) return false;
    if (rc != SQLITE_OK) Fail(rc, message);
    return true;
}

void SqliteDatabase::Fail() const { Fail(sqlite3_errcode(db_), sqlite3_errmsg(db_)); }

void SqliteDatabase::Fail(const std::string& description) { raise(kErrDatabase, description); }

void SqliteDatabase::Fail(int code, const std::string& description) {
    switch (code & 0xff) {
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
        case SQLITE_FULL:
        case SQLITE_READONLY:
        case SQLITE_IOERR:
        case SQLITE_CANTOPEN:
        case SQLITE_NOMEM:
        case SQLITE_CORRUPT:
        case SQLITE_NOTADB:
        case SQLITE_PROTOCOL:
        case SQLITE_PERM:
        case SQLITE_NOLFS:
            throw RuntimeError(kErrDatabase, description, kBoardSource, kUnavailable);
        default: raise(kErrDatabase, description);
    }
}

SqliteStatement::SqliteStatement(std::shared_ptr<SqliteDatabase> db, std::string_view sql)
    : db_(std::move(db)), sql_(sql) {
    db_->CheckUsableHere();
    grant_ = db_->CurrentGrant();
    stmt_ = db_->TakeCachedStatement(sql_);
    if (stmt_) return;
    // SQLite reads the text only up to a NUL; a value written into the text
    // with one would cut the statement there.
    if (sql.find('\0') != std::string_view::npos)
        SqliteDatabase::Fail(kNulInCommandText);
    const char* tail = nullptr;
    if (sqlite3_prepare_v2(db_->handle(), sql.data(), static_cast<int>(sql.size()), &stmt_, &tail) !=
        SQLITE_OK)
        db_->Fail();
    if (!stmt_) SqliteDatabase::Fail(kNoStatementText);
    // One statement at a time: text after it (other than blanks and ';') is refused.
    for (const char* end = sql.data() + sql.size(); tail && tail < end; ++tail) {
        if (!std::isspace(static_cast<unsigned char>(*tail)) && *tail != ';') {
            sqlite3_finalize(stmt_);
            stmt_ = nullptr;
            SqliteDatabase::Fail(kManyStatementsText);
        }
    }
}

SqliteStatement::~SqliteStatement() {
    if (!stmt_) return;
    if (!db_->UsableUnder(grant_)) {  // its turn is over: the handle is another writer's now
        sqlite3_finalize(stmt_);
        return;
    }
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
    db_->CacheStatement(std::move(sql_), stmt_);
}

int SqliteStatement::ParameterCount() const { return sqlite3_bind_parameter_count(stmt_); }

void SqliteStatement::Bind(const SqlParams& params, int first) {
    if (static_cast<int>(params.size()) + first - 1 > ParameterCount())
        SqliteDatabase::Fail(kTooManyValuesText);
    for (std::size_t i = 0; i < params.size(); ++i) Bind(first + static_cast<int>(i), params[i]);
}

void SqliteStatement::Bind(int index, const Variant& v) {
    int rc = SQLITE_OK;
    switch (v.type()) {
        case Variant::Type::Empty:
        case Variant::Type::Null: rc = sqlite3_bind_null(stmt_, index); break;
        case Variant::Type::Boolean: rc = sqlite3_bind_int(stmt_, index, v.rawBool() ? 1 : 0); break;
        case Variant::Type::Integer:
        case Variant::Type::Long:
        case Variant::Type::Byte: rc = sqlite3_bind_int64(stmt_, index, v.rawInt()); break;
        case Variant::Type::Double: rc = sqlite3_bind_double(stmt_, index, v.rawDouble()); break;
        case Variant::Type::Date: {
            std::string text = FormatGeneral(v.rawDate());
            rc = sqlite3_bind_text(stmt_, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
            break;
        }
        case Variant::Type::String:
            rc = sqlite3_bind_text(stmt_, index, v.rawString().data(),
                                   static_cast<int>(v.rawString().size()), SQLITE_TRANSIENT);
            break;
        case Variant::Type::Array: raise(kErrTypeMismatch);
    }
    if (rc != SQLITE_OK) db_->Fail();
}

void SqliteStatement::BindInt(int index, long long value) {
    if (sqlite3_bind_int64(stmt_, index, value) != SQLITE_OK) db_->Fail();
}

bool SqliteStatement::Step() {
    db_->CheckUsableUnder(grant_);
    if (!stepped_) {
        db_->BeforeStatement(stmt_, sql_);
        stepped_ = true;
    }
    int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) return true;
    stepped_ = false;  // a further step runs the statement again
    if (rc == SQLITE_DONE) return false;
    std::string message = sqlite3_errmsg(db_->handle());
    sqlite3_reset(stmt_);
    SqliteDatabase::Fail(rc, message);
}

void SqliteStatement::Reset() {
    db_->CheckUsableUnder(grant_);
    stepped_ = false;
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
}

bool SqliteStatement::ReadOnly() const { return sqlite3_stmt_readonly(stmt_) != 0; }

int SqliteStatement::ColumnCount() const { return sqlite3_column_count(stmt_); }

std::string SqliteStatement::ColumnName(int i) const {
    const char* name = sqlite3_column_name(stmt_, i);
    return name ? name : "";
}

ColumnKind SqliteStatement::Kind(int i) const { return KindOfDeclaredType(sqlite3_column_decltype(stmt_, i)); }

std::string SqliteStatement::OriginColumn(int i) const {
    const char* name = sqlite3_column_origin_name(stmt_, i);
    return name ? name : "";
}

long long SqliteStatement::Int(int i) const { return sqlite3_column_int64(stmt_, i); }

Variant SqliteStatement::Value(int i, ColumnKind kind) const {
    switch (sqlite3_column_type(stmt_, i)) {
        case SQLITE_NULL: return Variant::null();
        case SQLITE_INTEGER: {
            long long v = sqlite3_column_int64(stmt_, i);
            if (kind == ColumnKind::Bit) return Variant(v != 0);
            return Variant(v);
        }
        case SQLITE_FLOAT: {
            double v = sqlite3_column_double(stmt_, i);
            if (kind == ColumnKind::Bit) return Variant(v != 0);
            return Variant(v);
        }
        default: {
            const char* p = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, i));
            std::string_view text(p ? p : "", static_cast<std::size_t>(sqlite3_column_bytes(stmt_, i)));
            // Dates are stored as text: a DATETIME column always reads as a
            // date; an expression (no declared type, e.g. max(posttime)) only
            // when its text has exactly the stored form.
            if (kind == ColumnKind::DateTime || (kind == ColumnKind::Untyped && IsStoredDateText(text))) {
                if (auto d = ParseDateTime(text)) return Variant(*d);
            }
            return Variant(std::string(text));
        }
    }
}

}  // namespace platform
