#pragma once
// Just enough of SQLite to load many rows fast: one connection, statements
// prepared once and run many times. Failures throw std::runtime_error.
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace boardseed {

class SqliteFile {
public:
    explicit SqliteFile(const std::string& path);
    ~SqliteFile();
    SqliteFile(const SqliteFile&) = delete;
    SqliteFile& operator=(const SqliteFile&) = delete;

    void Exec(const std::string& sql);
    sqlite3* Handle() const { return db_; }

private:
    sqlite3* db_ = nullptr;
};

class Statement {
public:
    Statement(SqliteFile& db, const std::string& sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    // Parameters count from 1. Texts are copied, so temporaries are fine.
    Statement& Bind(int index, std::string_view text);
    Statement& Bind(int index, long long number);
    Statement& BindNull(int index);
    // Runs the statement and makes it ready for the next row.
    void Run();
    // Steps once; true while a row is there to read.
    bool Step();
    long long Integer(int column);
    std::string Text(int column);

private:
    sqlite3* db_;
    sqlite3_stmt* stmt_ = nullptr;
};

}  // namespace boardseed
