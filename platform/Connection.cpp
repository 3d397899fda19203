#include "platform/Connection.h"

#include <sqlite3.h>

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
    if (!sqlite3_get_autocommit(db->handle())) db->Exec("ROLLBACK");
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
    Database()->Exec("BEGIN IMMEDIATE");
}

bool Connection::TryBeginTrans() {
    if (InTransaction()) SqliteDatabase::Fail("A transaction is already open on this connection.");
    return Database()->TryExec("BEGIN IMMEDIATE");
}

void Connection::CommitTrans() { Database()->Exec("COMMIT"); }

void Connection::RollbackTrans() { Database()->Exec("ROLLBACK"); }

bool Connection::InTransaction() const { return db_ && !sqlite3_get_autocommit(db_->handle()); }

std::string Connection::FilePath() const {
    const char* path = sqlite3_db_filename(Database()->handle(), "main");
    return path ? path : "";
}

long long Connection::LastIdentity() const { return sqlite3_last_insert_rowid(Database()->handle()); }

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
