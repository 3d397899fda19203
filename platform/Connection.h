#pragma once
// A connection to the board's SQLite database, opened from the settings'
// connection string ("Provider=...;USER ID=...;PASSWORD=...;DATA SOURCE=name").
// The data source name is looked up in DataSources. Every SQLite failure is
// raised as platform::RuntimeError(kErrDatabase, SQLite's message).
#include <chrono>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Variant.h"
#include "platform/WriteTurn.h"

namespace platform {

// Values bound to the "?" placeholders of a statement, in order. Date values
// bind as "yyyy-mm-dd hh:nn:ss" text, Booleans as 1/0, Empty and Null as NULL.
using SqlParams = std::vector<Variant>;

enum class ObjectState : int { Closed = 0, Open = 1 };

// The failure of a writer that waited for a long change in vain
// (Connection::MarkLongChange): nothing of its work was stored.
extern const char* const kBusyWithLongChange;

class SqliteDatabase;

class Connection {
public:
    Connection();
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    void Open(const std::string& connectionString);
    // Opens a database file directly (tests and tools).
    void OpenFile(const std::string& path);
    // Rolls back an open transaction. Record sets still open on this
    // connection keep working until they are closed.
    void Close();
    ObjectState State() const;
    bool IsOpen() const { return State() == ObjectState::Open; }

    // Runs one statement and returns the number of rows it changed (0 for
    // statements that change none). "set dateformat ymd" is accepted and
    // does nothing.
    long Execute(const std::string& sql, const SqlParams& params = {});

    // "BEGIN IMMEDIATE": the write lock is taken (waiting for it if needed)
    // when the transaction begins, not halfway through it. Writers of one
    // process queue for the file in turn instead of polling SQLite's lock
    // (WriteTurn), and the transaction runs on the turn's handle: record
    // sets opened in it are read before it ends.
    void BeginTrans();
    // The same without waiting: false, and no transaction, while another
    // connection holds the write lock.
    bool TryBeginTrans();
    void CommitTrans();
    void RollbackTrans();
    bool InTransaction() const;
    // In a transaction that will hold the write turn for long (a change
    // over all the posts of a forum): other writers wait for its end
    // instead of failing at their usual deadline (WriteTurn).
    void MarkLongChange();

    // From here until the first write, the connection's reads see the file
    // as it was at the first of them, in one read transaction (a page's
    // reads, which would otherwise start and end one each).
    void ReadFromOneSnapshot();

    // Results a page builds from the rows (a list's rows as HTML, say),
    // kept on the connection's SQLite handle until the next commit to the
    // file by any connection, so that pages reading the same rows request
    // after request build them once. Inside a write transaction none are
    // kept or given. Keys name the kind of result first: a key gives back
    // the type it was kept with. `bytes` counts against a bound per handle.
    template <class T>
    std::shared_ptr<const T> KeptResult(const std::string& key) const {
        return std::static_pointer_cast<const T>(KeptResultOfAnyType(key));
    }
    template <class T>
    void KeepResult(std::string key, std::shared_ptr<const T> result, std::size_t bytes) const {
        KeepResultOfAnyType(std::move(key), std::move(result), bytes);
    }
    // The result kept under the key made of `keyParts` (its kind first),
    // or the one `build()` makes (with the bytes it counts), which is then
    // kept.
    template <class T, class Build>
    std::shared_ptr<const T> KeptOrBuilt(std::initializer_list<std::string_view> keyParts, Build build) const {
        std::string key = ResultKey(keyParts);
        if (auto kept = KeptResult<T>(key)) return kept;
        auto [result, bytes] = build();
        std::shared_ptr<const T> shared = std::move(result);
        KeepResult<T>(std::move(key), shared, bytes);
        return shared;
    }
    static std::string ResultKey(std::initializer_list<std::string_view> parts);

    // Outside a transaction, after a burst of writes: copies the write-ahead
    // log into the file and cuts it back when it grew past its bound, never
    // waiting for readers or writers (one in the way leaves it for later).
    void CheckpointLog();

    // Rows changed through the connection's current handle so far, with
    // those written by what the statements ran (a full-text index's own).
    long long TotalChanges() const;

    // The path of the open database file.
    std::string FilePath() const;

    // The identity of the last row inserted on this connection (0 when none).
    long long LastIdentity() const;

    // For Recordset; raises when the connection is closed.
    std::shared_ptr<SqliteDatabase> Database() const;

private:
    std::shared_ptr<SqliteDatabase> db_;  // the turn's handle during a transaction
    std::shared_ptr<SqliteDatabase> own_;  // the connection's own handle meanwhile
    HeldTurn writeTurn_;                   // held from BeginTrans to its end
    long long turnIdentity_ = 0;           // the last row the last transaction inserted
    long long ownChangesAfterTurn_ = 0;
    WriteTurn& TurnToWrite();
    void TakeTurn(WriteTurn& turn);
    void EndWriteTurn();
    std::shared_ptr<const void> KeptResultOfAnyType(const std::string& key) const;
    void KeepResultOfAnyType(std::string key, std::shared_ptr<const void> result, std::size_t bytes) const;
};

// Runs `work` through a connection of its own to each file (the stop hooks
// of areas that keep work per database file).
void ForEachDatabase(const std::vector<std::string>& files, const std::function<void(Connection&)>& work);

enum class LockWait { ForLock, Never };

// Rolls back on destruction unless committed: multi-statement changes either
// happen whole or not at all.
class Transaction {
public:
    // LockWait::Never begins only when the write lock is free at once
    // (TryBeginTrans); Begun() tells.
    explicit Transaction(Connection& con, LockWait wait = LockWait::ForLock);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    bool Begun() const { return open_; }
    void Commit();

private:
    Connection& con_;
    bool open_ = true;
};

// A read whose cost the visitor's choices decide (a search) has `budget`
// from now: past it, the statement running on the connection stops and
// fails with TimeBudgetSpent, and so does every later one, until the
// budget ends. Outside a transaction.
class TimeBudget {
public:
    TimeBudget(Connection& con, std::chrono::steady_clock::duration budget);
    ~TimeBudget();
    TimeBudget(const TimeBudget&) = delete;
    TimeBudget& operator=(const TimeBudget&) = delete;

private:
    std::shared_ptr<SqliteDatabase> db_;
};

}  // namespace platform
