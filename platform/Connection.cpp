#include "platform/Connection.h"

#include <sqlite3.h>

#include <chrono>
#include <exception>
#include <utility>

#include "platform/DataSources.h"
#include "platform/Error.h"
#include "platform/SqliteDatabase.h"
#include "platform/SqliteSqlText.h"
#include "platform/Strings.h"
#include "platform/WriteTurn.h"

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

}  // namespace

const char* const kBusyWithLongChange =
    "论坛正在进行一项费时的管理操作，你的数据没有保存，请过几分钟再试。";

Connection::Connection() = default;

Connection::~Connection() {
    try {
        Close();
    } catch (...) {
    }
}

void Connection::Open(const std::string& connectionString) {
    auto name = DataSourceName(connectionString);
    if (!name) SqliteDatabase::Fail(kNoDataSourceText);
    auto path = DataSources::Lookup(*name);
    if (!path) SqliteDatabase::Fail(kDataSourceNotFoundText + *name);
    OpenFile(*path);
}

void Connection::OpenFile(const std::string& path) {
    if (db_) SqliteDatabase::Fail(kConnectionOpenText);
    db_ = AcquireDatabase(path);
}

void Connection::Close() {
    if (!db_) return;
    db_->EndSnapshot();
    // The turn is passed on even when the rollback fails.
    std::exception_ptr failure;
    if (!sqlite3_get_autocommit(db_->handle())) {
        try {
            db_->Exec("ROLLBACK");
        } catch (...) {
            failure = std::current_exception();
        }
    }
    EndWriteTurn();
    db_.reset();
    if (failure) std::rethrow_exception(failure);
}

ObjectState Connection::State() const { return db_ ? ObjectState::Open : ObjectState::Closed; }

std::shared_ptr<SqliteDatabase> Connection::Database() const {
    if (!db_) SqliteDatabase::Fail(kConnectionClosedText);
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
    WriteTurn& turn = TurnToWrite();
    // A writer that waits longer than SQLite's own busy timeout goes on to
    // SQLite's lock (which then decides) with its own handle, so a thread
    // that already holds a turn cannot lock itself out.
    if (turn.Acquire(std::chrono::milliseconds(kLockWaitMilliseconds)))
        TakeTurn(turn);
    else if (turn.HeldByOthersLongChange())
        SqliteDatabase::Fail(kBusyWithLongChange);
    db_->StartWriting();
    try {
        db_->Exec("BEGIN IMMEDIATE");
    } catch (...) {
        EndWriteTurn();
        throw;
    }
}

bool Connection::TryBeginTrans() {
    WriteTurn& turn = TurnToWrite();
    if (!turn.TryAcquire()) return false;
    TakeTurn(turn);
    db_->StartWriting();
    if (db_->TryExec("BEGIN IMMEDIATE")) return true;
    EndWriteTurn();
    return false;
}

// The file's write turn, for a connection about to begin a transaction.
WriteTurn& Connection::TurnToWrite() {
    if (InTransaction()) SqliteDatabase::Fail(kTransactionOpenText);
    Database()->EndSnapshot();
    return WriteTurn::Of(FilePath());
}

// The transaction runs on the turn's handle; this connection's own handle
// waits for its end. It reads without its memory map from now on, as a
// handle that writes does (see SqliteDatabase::StartWriting).
void Connection::TakeTurn(WriteTurn& turn) {
    writeTurn_ = HeldTurn(turn);
    std::shared_ptr<SqliteDatabase> writer;
    try {
        writer = turn.Writer();
    } catch (...) {
        writeTurn_.Reset();
        throw;
    }
    if (!writer) return;
    db_->ReadWithoutMap();
    own_ = std::exchange(db_, std::move(writer));
}

void Connection::CommitTrans() {
    Database()->Exec("COMMIT");
    EndWriteTurn();
}

void Connection::RollbackTrans() {
    Database()->Exec("ROLLBACK");
    EndWriteTurn();
}

// Back to the connection's own handle; the next writer goes first, then
// the log's checkpoint if one fell due.
void Connection::EndWriteTurn() {
    if (!db_) return;
    if (writeTurn_.Owns()) db_->RestartLogIfDue();
    const bool checkpointDue = db_->EndWriting();
    if (own_) {
        db_->ResetUnfinishedStatements();
        db_->RollBackWhatIsOpen();  // never hand the next writer an open transaction
        turnIdentity_ = sqlite3_last_insert_rowid(db_->handle());
        db_ = std::exchange(own_, nullptr);
        ownChangesAfterTurn_ = sqlite3_total_changes(db_->handle());
    }
    writeTurn_.Reset();
    if (checkpointDue) db_->Checkpoint();
}

void Connection::MarkLongChange() {
    if (!InTransaction()) SqliteDatabase::Fail(kNoTransactionText);
    if (writeTurn_.Owns()) writeTurn_.Turn().MarkLongChange();
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

std::string Connection::ResultKey(std::initializer_list<std::string_view> parts) {
    std::string key;
    bool first = true;
    for (std::string_view part : parts) {
        if (!std::exchange(first, false)) key += '\0';
        key += part;
    }
    return key;
}

void Connection::CheckpointLog() {
    if (InTransaction()) SqliteDatabase::Fail(kLogCopyInTransactionText);
    Database()->EndSnapshot();
    Database()->Checkpoint();
}

long long Connection::TotalChanges() const { return sqlite3_total_changes64(Database()->handle()); }

std::string Connection::FilePath() const {
    const char* path = sqlite3_db_filename(Database()->handle(), "main");
    return path ? path : "";
}

long long Connection::LastIdentity() const {
    sqlite3* own = Database()->handle();
    // The last turn's insert, unless this connection's own handle has
    // written since.
    if (turnIdentity_ && !own_ && sqlite3_total_changes(own) == ownChangesAfterTurn_) return turnIdentity_;
    return sqlite3_last_insert_rowid(own);
}

void ForEachDatabase(const std::vector<std::string>& files, const std::function<void(Connection&)>& work) {
    for (const std::string& file : files) {
        Connection con;
        con.OpenFile(file);
        work(con);
    }
}

TimeBudget::TimeBudget(Connection& con, std::chrono::steady_clock::duration budget) : db_(con.Database()) {
    db_->SetDeadline(std::chrono::steady_clock::now() + budget);
}

TimeBudget::~TimeBudget() { db_->SetDeadline(std::nullopt); }

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
