#include "platform/Connection.h"

#include <sqlite3.h>

#include <chrono>
#include <map>

#include "platform/DataSources.h"
#include "platform/SqliteDatabase.h"
#include "platform/SqliteSqlText.h"
#include "platform/Strings.h"

namespace platform {

namespace {

// The value of DATA SOURCE (or DSN) in "key=value;key=value".
std::optional<std::string> DataSourceName(const std::string& connectionString) {
    for (const std::string& part : Split(connectionString, ";")) {
        std::size_t eq = part.find('=');
        if (eq == std::string::npos) continue;
        std::string key = Trim(part.substr(0, eq));
        if (EqualsIgnoreCase(key, "DATA SOURCE") || EqualsIgnoreCase(key, "DSN"))
            return Trim(part.substr(eq + 1));
    }
    return std::nullopt;
}

// One queue of writers per database file. SQLite's busy handler polls with
// sleeps that grow to 100 ms, so under many writers the lock sits free while
// they sleep; waiting here hands it on at once. A writer that waits longer
// than SQLite's own busy timeout goes on to SQLite's lock (which then
// decides), so a thread that already holds a turn cannot lock itself out.
std::timed_mutex& WriteTurnOf(const std::string& path) {
    static std::mutex lock;
    static std::map<std::string, std::unique_ptr<std::timed_mutex>> turns;
    std::lock_guard guard(lock);
    auto& slot = turns[path];
    if (!slot) slot = std::make_unique<std::timed_mutex>();
    return *slot;
}

std::unique_lock<std::timed_mutex> WaitForWriteTurn(const std::string& path) {
    std::unique_lock<std::timed_mutex> held(WriteTurnOf(path), std::defer_lock);
    (void)held.try_lock_for(std::chrono::milliseconds(kLockWaitMilliseconds));
    return held;
}

}  // namespace

Connection::Connection() = default;

Connection::~Connection() {
    try {
        Close();
    } catch (...) {
    }
}

void Connection::Open(const std::string& connectionString) {
    auto name = DataSourceName(connectionString);
    if (!name) SqliteDatabase::Fail("The connection string names no data source.");
    auto path = DataSources::Lookup(*name);
    if (!path) SqliteDatabase::Fail("Data source name not found: " + *name);
    OpenFile(*path);
}

void Connection::OpenFile(const std::string& path) {
    if (db_) SqliteDatabase::Fail("The connection is already open.");
    db_ = AcquireDatabase(path);
}

void Connection::Close() {
    if (!db_) return;
    std::shared_ptr<SqliteDatabase> db = std::move(db_);
    db->EndSnapshot();
    const bool inTransaction = !sqlite3_get_autocommit(db->handle());
    if (inTransaction) db->Exec("ROLLBACK");
    writeTurn_ = {};
    db->EndWriting();
}

ObjectState Connection::State() const { return db_ ? ObjectState::Open : ObjectState::Closed; }

std::shared_ptr<SqliteDatabase> Connection::Database() const {
    if (!db_) SqliteDatabase::Fail("The connection is closed.");
    return db_;
}

long Connection::Execute(const std::string& sql, const SqlParams& params) {
    auto db = Database();
    if (IsSetDateFormat(sql)) return 0;
    SqliteStatement statement(db, sql);
    statement.Bind(params);
    while (statement.Step()) {
    }
    return statement.ReadOnly() ? 0 : sqlite3_changes(db->handle());
}

void Connection::BeginTrans() {
    if (InTransaction()) SqliteDatabase::Fail("A transaction is already open on this connection.");
    auto db = Database();
    db->EndSnapshot();
    writeTurn_ = WaitForWriteTurn(FilePath());
    db->StartWriting();
    try {
        db->Exec("BEGIN IMMEDIATE");
    } catch (...) {
        EndWriteTurn();
        throw;
    }
}

bool Connection::TryBeginTrans() {
    if (InTransaction()) SqliteDatabase::Fail("A transaction is already open on this connection.");
    auto db = Database();
    db->EndSnapshot();
    writeTurn_ = std::unique_lock<std::timed_mutex>(WriteTurnOf(FilePath()), std::try_to_lock);
    db->StartWriting();
    if (writeTurn_.owns_lock() && db->TryExec("BEGIN IMMEDIATE")) return true;
    EndWriteTurn();
    return false;
}

void Connection::CommitTrans() {
    Database()->Exec("COMMIT");
    EndWriteTurn();
}

void Connection::RollbackTrans() {
    Database()->Exec("ROLLBACK");
    EndWriteTurn();
}

// The next writer goes first; then the log's checkpoint if one fell due.
void Connection::EndWriteTurn() {
    if (db_ && writeTurn_.owns_lock()) db_->RestartLogIfDue();
    writeTurn_ = {};
    if (db_) db_->EndWriting();
}

bool Connection::InTransaction() const {
    return db_ && !db_->InSnapshot() && !sqlite3_get_autocommit(db_->handle());
}

void Connection::ReadFromOneSnapshot() { Database()->WantSnapshot(true); }

std::shared_ptr<const void> Connection::KeptResultOfAnyType(const std::string& key) const {
    return Database()->KeptResult(key);
}

void Connection::KeepResultOfAnyType(std::string key, std::shared_ptr<const void> result, std::size_t bytes) const {
    Database()->KeepResult(std::move(key), std::move(result), bytes);
}

std::string Connection::FilePath() const {
    const char* path = sqlite3_db_filename(Database()->handle(), "main");
    return path ? path : "";
}

long long Connection::LastIdentity() const { return sqlite3_last_insert_rowid(Database()->handle()); }

void ForEachDatabase(const std::vector<std::string>& files, const std::function<void(Connection&)>& work) {
    for (const std::string& file : files) {
        Connection con;
        con.OpenFile(file);
        work(con);
    }
}

Transaction::Transaction(Connection& con, LockWait wait) : con_(con) {
    if (wait == LockWait::Never) {
        open_ = con_.TryBeginTrans();
    } else {
        con_.BeginTrans();
    }
}

Transaction::~Transaction() {
    if (!open_) return;
    try {
        if (con_.InTransaction()) con_.RollbackTrans();
    } catch (...) {
    }
}

void Transaction::Commit() {
    con_.CommitTrans();
    open_ = false;
}

}  // namespace platform
