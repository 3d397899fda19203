#pragma once
// A record set over a query on a Connection, read the way the pages read
// ADO record sets:
//
//   platform::Recordset rs;
//   rs.CacheSize(20);
//   rs.Open("select ... where forumname=?", con, platform::CursorType::Static, {forum});
//   rs.PageSize(20); rs.AbsolutePage(3);
//   while (!rs.Eof()) { out << rs.Fields("subject").str(); rs.MoveNext(); }
//
// Forward-only record sets stream their rows. Static record sets fetch a
// window of rows at a time with LIMIT/OFFSET and count with a count over the
// statement, so showing one page of a long list costs about one page.
//
// Values: NULL is Null, a column declared BIT is Boolean, integers are Long
// (Double beyond 32 bits), a column declared DATETIME is a Date, other texts
// are Strings. A column without a declared type (an expression such as
// max(posttime)) holding text exactly of the stored date form
// "yyyy-mm-dd hh:nn:ss" is read as a Date too.
//
// A record set on a single table ("select * from post where 1=0", "select *
// from register where username=?") can add rows (AddNew, assign Fields,
// Update), change its current row (assign Fields, Update) and delete it.
#include <memory>
#include <string>
#include <string_view>

#include "platform/Connection.h"
#include "platform/Variant.h"

namespace platform {

enum class CursorType : int { ForwardOnly = 0, Static = 3 };

// AbsolutePage when the record set stands before the first or after the last row.
inline constexpr long kPosBOF = -2;
inline constexpr long kPosEOF = -3;

class Recordset {
public:
    Recordset();
    ~Recordset();
    Recordset(Recordset&&) noexcept;
    Recordset& operator=(Recordset&&) noexcept;

    // "?" placeholders take `params` in order.
    void Open(const std::string& sql, Connection& con,
              CursorType cursor = CursorType::ForwardOnly, const SqlParams& params = {});
    void Open(const std::string& sql, Connection& con, const SqlParams& params);
    void Close();
    ObjectState State() const;
    bool IsOpen() const { return State() == ObjectState::Open; }
    CursorType Cursor() const;

    // Eof: after the last row; Bof: before the first. Both are true on an
    // empty record set.
    bool Eof();
    bool Bof();
    void MoveNext();
    void MoveFirst();  // static record sets only

    // Fields of the current row, by name ignoring letter case (with duplicate
    // names the first wins) or by position from 0. Assigning to a field
    // changes the row buffer; Update writes the change.
    Variant& Fields(std::string_view name);
    Variant& Fields(int index);
    int FieldCount() const;
    const std::string& FieldName(int index) const;

    // May be set before Open. Static record sets fetch at least this many
    // rows at a time.
    void CacheSize(long rows);
    long CacheSize() const;

    // Paging, static record sets only. PageSize (default 10) may be set
    // before Open.
    void PageSize(long rows);
    long PageSize() const;
    long RecordCount();  // -1 for forward-only record sets
    // For callers that already know how many rows the statement gives (a
    // forum's stored topic count): RecordCount and paging use it instead of
    // counting, which on a long list costs more than the page itself. With
    // a count above the real one the rows still end where the result ends.
    void KnownRecordCount(long count);
    long PageCount();    // -1 for forward-only record sets
    // Moves to the first row of `page` (1..PageCount).
    void AbsolutePage(long page);
    long AbsolutePage();

    // The rows from the current one to the end, as an array indexed by column
    // then row; leaves the record set at Eof. No rows left gives an empty array.
    VariantArray GetRows();
    // The rows from the current one to the end as text: fields joined by
    // `columnDelimiter`, each row followed by `rowDelimiter`, Null written as
    // `nullExpr`. Leaves the record set at Eof; no rows left gives "".
    std::string GetString(const std::string& columnDelimiter = "\t",
                          const std::string& rowDelimiter = "\r",
                          const std::string& nullExpr = "");

    // Adding and changing rows (single-table record sets).
    void AddNew();
    void Update();        // saves the added row or the changed fields
    void CancelUpdate();  // forgets unsaved changes
    void Delete();        // deletes the current row from its table

private:
    class Impl;
    std::unique_ptr<Impl> impl_;
    long cacheSize_ = 1;   // kept across Open and Close, as set
    long pageSize_ = 10;
    Impl& impl() const;
};

// A statement's text and its values as one key: each value with its type
// and length, so that no two different sets of values give the same key.
std::string StatementKey(const std::string& sql, const SqlParams& params);

// What a counting statement ("select count(*) from ... where ...") gives,
// known from an earlier count while the database is unchanged, as the
// static record sets' own counts are.
long long CountOf(Connection& con, const std::string& countSql, const SqlParams& params = {});

}  // namespace platform
