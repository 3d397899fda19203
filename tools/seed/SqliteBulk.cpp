#include "tools/seed/SqliteBulk.h"

#include <sqlite3.h>

#include <stdexcept>

namespace boardseed {
namespace {

[[noreturn]] void Fail(sqlite3* db, const std::string& what) {
    throw std::runtime_error(what + ": " + sqlite3_errmsg(db));
}

}  // namespace

SqliteFile::SqliteFile(const std::string& path) {
    if (sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        const std::string message = db_ ? sqlite3_errmsg(db_) : "out of memory";
        sqlite3_close(db_);
        throw std::runtime_error("cannot open " + path + ": " + message);
    }
}

SqliteFile::~SqliteFile() { sqlite3_close(db_); }

void SqliteFile::Exec(const std::string& sql) {
    if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) Fail(db_, sql);
}

Statement::Statement(SqliteFile& db, const std::string& sql) : db_(db.Handle()) {
    if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &stmt_, nullptr) != SQLITE_OK) Fail(db_, sql);
}

Statement::~Statement() { sqlite3_finalize(stmt_); }

Statement& Statement::Bind(int index, std::string_view text) {
    if (sqlite3_bind_text(stmt_, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT) != SQLITE_OK)
        Fail(db_, "bind");
    return *this;
}

Statement& Statement::Bind(int index, long long number) {
    if (sqlite3_bind_int64(stmt_, index, number) != SQLITE_OK) Fail(db_, "bind");
    return *this;
}

Statement& Statement::BindNull(int index) {
    if (sqlite3_bind_null(stmt_, index) != SQLITE_OK) Fail(db_, "bind");
    return *this;
}

void Statement::Run() {
    if (sqlite3_step(stmt_) != SQLITE_DONE) Fail(db_, sqlite3_sql(stmt_));
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
}

bool Statement::Step() {
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) return true;
    if (rc != SQLITE_DONE) Fail(db_, sqlite3_sql(stmt_));
    return false;
}

long long Statement::Integer(int column) { return sqlite3_column_int64(stmt_, column); }

std::string Statement::Text(int column) {
    const auto* text = sqlite3_column_text(stmt_, column);
    return text ? reinterpret_cast<const char*>(text) : "";
}

}  // namespace boardseed
