#include "platform/Recordset.h"

#include <sqlite3.h>

#include <algorithm>
#include <optional>
#include <unordered_map>
#include <vector>

#include "platform/DateTime.h"
#include "platform/Error.h"
#include "platform/SqliteDatabase.h"
#include "platform/SqliteSqlText.h"
#include "platform/Strings.h"

namespace platform {

namespace {

constexpr const char* kRowidAlias = "__rowid";
constexpr long kMinWindow = 20;
constexpr long kMaxWindow = 4096;

struct Column {
    std::string name;
    ColumnKind kind;
    std::string origin;  // table column it reads, "" for expressions (read on one table only)
};

struct Row {
    long long rowid = 0;
    std::vector<Variant> values;
};

[[noreturn]] void NoCurrentRow() {
    SqliteDatabase::Fail(kNoCurrentRecordText);
}

[[noreturn]] void NotForForwardOnly() {
    SqliteDatabase::Fail(kForwardOnlyText);
}

bool SameValue(const Variant& a, const Variant& b) {
    if (a.type() != b.type()) return false;
    switch (a.type()) {
        case Variant::Type::Empty:
        case Variant::Type::Null: return true;
        case Variant::Type::Boolean: return a.rawBool() == b.rawBool();
        case Variant::Type::Integer:
        case Variant::Type::Long:
        case Variant::Type::Byte: return a.rawInt() == b.rawInt();
        case Variant::Type::Double:
        case Variant::Type::Date: return a.rawDouble() == b.rawDouble();
        case Variant::Type::String: return a.rawString() == b.rawString();
        case Variant::Type::Array: return false;
    }
    return false;
}

}  // namespace

std::string StatementKey(const std::string& sql, const SqlParams& params) {
    std::string key = sql;
    for (const Variant& v : params) {
        std::string value;
        switch (v.type()) {
            case Variant::Type::Boolean: value += v.rawBool() ? '1' : '0'; break;
            case Variant::Type::Integer:
            case Variant::Type::Long:
            case Variant::Type::Byte: value = std::to_string(v.rawInt()); break;
            case Variant::Type::Double:
            case Variant::Type::Date: {
                const double d = v.rawDouble();
                value.assign(reinterpret_cast<const char*>(&d), sizeof d);
                break;
            }
            case Variant::Type::String: value = v.rawString(); break;
            default: break;
        }
        key += '\0';
        key += static_cast<char>(v.type());
        key += std::to_string(value.size()) + ':';
        key += value;
    }
    return key;
}

namespace {

// What the text says about the query, kept per thread: pages open the same
// few statements on every request.
const std::optional<SingleTableSelect>& SingleTableOf(const std::string& sql) {
    thread_local std::unordered_map<std::string, std::optional<SingleTableSelect>> known;
    const auto it = known.find(sql);
    if (it != known.end()) return it->second;
    // Texts with values written inline are many; keep the number bounded.
    if (known.size() >= 256) known.clear();
    return known.emplace(sql, ParseSingleTableSelect(sql)).first->second;
}

long long CountOf(const std::shared_ptr<SqliteDatabase>& db, const std::string& countSql, const SqlParams& params) {
    std::string key = StatementKey(countSql, params);
    if (const auto known = db->KnownCount(key)) return *known;
    SqliteStatement counter(db, countSql);
    counter.Bind(params);
    counter.Step();
    const long long count = counter.Int(0);
    db->KeepCount(std::move(key), count);
    return count;
}

// Text written into a DATETIME column is stored in the one sortable form.
Variant ForColumn(const Variant& v, ColumnKind kind) {
    if (kind == ColumnKind::DateTime && v.isString()) {
        if (auto d = ParseDateTime(v.rawString())) return Variant(*d);
    }
    return v;
}

}  // namespace

class Recordset::Impl {
public:
    Impl(const std::string& sql, Connection& con, CursorType cursor, const SqlParams& params,
         long cacheSize, long pageSize)
        : cacheSize_(cacheSize), pageSize_(pageSize), cursor_(cursor), db_(con.Database()),
          sql_(TrimStatement(sql)), params_(params), grant_(db_->CurrentGrant()) {
        table_ = SingleTableOf(sql_);
        std::string text = WithRowid();
        if (cursor_ == CursorType::Static) {
            window_ = std::make_unique<SqliteStatement>(db_, "SELECT * FROM (" + text + ") LIMIT ? OFFSET ?");
            userParams_ = window_->ParameterCount() - 2;
            window_->Bind(params_);
            ReadColumns(*window_);
        } else {
            stream_ = std::make_unique<SqliteStatement>(db_, text);
            stream_->Bind(params_);
            ReadColumns(*stream_);
            StepStream();
        }
    }

    // --- position -------------------------------------------------------

    bool Eof() {
        if (adding_) return false;
        if (stream_) return streamDone_;
        return (count_ && pos_ >= *count_) || !EnsureWindow(pos_);
    }

    bool Bof() {
        if (adding_) return false;
        if (stream_) return streamEmpty_;
        return pos_ < 0 || (pos_ == 0 && Eof());
    }

    void MoveNext() {
        if (Eof()) NoCurrentRow();
        LeaveRow();
        if (stream_) {
            StepStream();
        } else {
            ++pos_;
        }
    }

    void MoveFirst() {
        if (stream_) NotForForwardOnly();
        LeaveRow();
        pos_ = 0;
    }

    // --- fields ---------------------------------------------------------

    Variant& Field(int index) {
        if (index < 0 || index >= FieldCount())
            SqliteDatabase::Fail(kItemNotFoundText);
        return CurrentRow().values[static_cast<std::size_t>(index + Hidden())];
    }

    Variant& Field(std::string_view name) {
        for (int i = 0; i < FieldCount(); ++i)
            if (EqualsIgnoreCase(columns_[static_cast<std::size_t>(i + Hidden())].name, name)) return Field(i);
        SqliteDatabase::Fail(kNamedItemNotFoundText + std::string(name));
    }

    int FieldCount() const { return static_cast<int>(columns_.size()) - Hidden(); }

    const std::string& FieldName(int index) const {
        if (index < 0 || index >= FieldCount())
            SqliteDatabase::Fail(kItemNotFoundText);
        return columns_[static_cast<std::size_t>(index + Hidden())].name;
    }

    // --- paging ---------------------------------------------------------

    long cacheSize_;
    long pageSize_;
    const CursorType cursor_;

    long RecordCount() {
        if (stream_) return -1;
        // A first window shorter than asked already tells the count.
        if (!count_ && !fetched_) EnsureWindow(std::max(pos_, 0L));
        if (!count_) count_ = CountRows();
        return *count_;
    }

    void KnownRecordCount(long count) {
        if (stream_) NotForForwardOnly();
        count_ = std::max(count, 0L);
    }

    long PageCount() {
        if (stream_) return -1;
        long n = RecordCount();
        return pageSize_ > 0 ? (n + pageSize_ - 1) / pageSize_ : 0;
    }

    void AbsolutePage(long page) {
        if (stream_) NotForForwardOnly();
        if (page < 1 || page > PageCount())
            SqliteDatabase::Fail(kPageOutOfRangeText);
        LeaveRow();
        pos_ = (page - 1) * pageSize_;
        nextWindow_ = 0;
    }

    long AbsolutePage() {
        if (stream_) return -1;
        if (Bof()) return kPosBOF;
        if (Eof()) return kPosEOF;
        return pos_ / pageSize_ + 1;
    }

    // --- whole remaining result ------------------------------------------

    template <class Visit>
    void ForEachRemaining(Visit visit) {
        if (adding_) CancelUpdate();
        if (stream_) {
            while (!streamDone_) {
                visit(current_.values);
                StepStream();
            }
            return;
        }
        if (Eof()) return;
        db_->CheckUsableUnder(grant_);
        SqliteStatement rest(db_, "SELECT * FROM (" + WithRowid() + ") LIMIT -1 OFFSET ?");
        rest.Bind(params_);
        rest.BindInt(userParams_ + 1, pos_);
        Row row;
        long n = 0;
        while (rest.Step()) {
            ReadRow(rest, row);
            visit(row.values);
            ++n;
        }
        pos_ += n;
        count_ = pos_;
    }

    VariantArray GetRows() {
        std::vector<std::vector<Variant>> rows;
        ForEachRemaining([&](const std::vector<Variant>& values) { rows.push_back(values); });
        VariantArray out(static_cast<std::size_t>(FieldCount()), rows.size());
        for (std::size_t r = 0; r < rows.size(); ++r)
            for (int c = 0; c < FieldCount(); ++c)
                out.at(static_cast<std::size_t>(c), r) = std::move(rows[r][static_cast<std::size_t>(c + Hidden())]);
        return out;
    }

    std::string GetString(const std::string& columnDelimiter, const std::string& rowDelimiter,
                          const std::string& nullExpr) {
        std::string out;
        ForEachRemaining([&](const std::vector<Variant>& values) {
            for (int c = 0; c < FieldCount(); ++c) {
                if (c > 0) out += columnDelimiter;
                const Variant& v = values[static_cast<std::size_t>(c + Hidden())];
                out += v.isNull() ? nullExpr : v.str();
            }
            out += rowDelimiter;
        });
        return out;
    }

    // --- changes ----------------------------------------------------------

    void AddNew() {
        Updatable();
        LeaveRow();
        adding_ = true;
        added_.rowid = 0;
        added_.values.assign(columns_.size(), Variant());
    }

    void Update() {
        Updatable();
        if (adding_) {
            Insert();
            return;
        }
        Row& row = CurrentRow();
        std::string sets;
        SqlParams values;
        for (std::size_t i = Hidden(); i < columns_.size(); ++i) {
            if (SameValue(row.values[i], original_.values[i])) continue;
            sets += (sets.empty() ? "" : ", ") + TargetColumn(i) + " = ?";
            values.push_back(ForColumn(row.values[i], columns_[i].kind));
        }
        if (sets.empty()) return;
        values.push_back(Variant(row.rowid));
        db_->CheckUsableUnder(grant_);
        SqliteStatement update(db_, "UPDATE " + table_->table + " SET " + sets + " WHERE rowid = ?");
        update.Bind(values);
        update.Step();
        original_ = row;
    }

    void CancelUpdate() {
        if (adding_) {
            adding_ = false;
            return;
        }
        if (haveOriginal_) CurrentRow() = original_;
    }

    void Delete() {
        Updatable();
        if (adding_) {
            CancelUpdate();
            return;
        }
        Row& row = CurrentRow();
        db_->CheckUsableUnder(grant_);
        SqliteStatement del(db_, "DELETE FROM " + table_->table + " WHERE rowid = ?");
        del.BindInt(1, row.rowid);
        del.Step();
        deleted_ = true;
    }

private:
    std::shared_ptr<SqliteDatabase> db_;
    std::string sql_;
    SqlParams params_;
    const unsigned grant_;  // a record set of a write transaction serves no later one
    std::optional<SingleTableSelect> table_;
    std::vector<Column> columns_;
    int userParams_ = 0;

    // Forward-only: the statement streams, current_ is its row.
    std::unique_ptr<SqliteStatement> stream_;
    bool streamDone_ = false;
    bool streamEmpty_ = false;
    bool streamStarted_ = false;

    // Static: a window of rows [windowStart_, windowStart_ + rows_.size()).
    std::unique_ptr<SqliteStatement> window_;
    std::vector<Row> rows_;
    long windowStart_ = 0;
    long nextWindow_ = 0;  // size of the last fetch, doubled by sequential reads
    bool fetched_ = false;
    long pos_ = 0;
    std::optional<long> count_;

    Row current_;           // forward-only current row
    Row original_;          // the current row as read, for Update
    bool haveOriginal_ = false;
    bool adding_ = false;
    Row added_;
    bool deleted_ = false;

    int Hidden() const { return table_ ? 1 : 0; }

    long CountRows() {
        const std::string sql = "SELECT count(*) FROM (" + std::string(WithoutFinalOrderBy(sql_)) + ")";
        db_->CheckUsableUnder(grant_);
        return static_cast<long>(CountOf(db_, sql, params_));
    }

    // On a single table a hidden first column carries each row's identity,
    // so that changes find their row.
    std::string WithRowid() const {
        std::string text = sql_;
        if (table_) text.insert(table_->listStart, " " + table_->qualifier + ".rowid AS " + kRowidAlias + ",");
        return text;
    }

    static std::string Quoted(const std::string& name) { return "\"" + name + "\""; }

    // The table column written for field `i`; expressions cannot be written.
    std::string TargetColumn(std::size_t i) const {
        if (columns_[i].origin.empty()) SqliteDatabase::Fail(FieldNotUpdatableText(columns_[i].name));
        return Quoted(columns_[i].origin);
    }

    void Updatable() const {
        if (!table_) SqliteDatabase::Fail(kNotSingleTableText);
    }

    void ReadColumns(const SqliteStatement& s) {
        for (int i = 0; i < s.ColumnCount(); ++i) {
            std::string name = s.ColumnName(i);
            // A subquery renames a repeated column "name:1"; callers know it by its own name.
            std::size_t colon = name.rfind(':');
            if (colon != std::string::npos && colon + 1 < name.size() &&
                name.find_first_not_of("0123456789", colon + 1) == std::string::npos) {
                std::string base = name.substr(0, colon);
                for (const Column& c : columns_)
                    if (EqualsIgnoreCase(c.name, base)) { name = base; break; }
            }
            // Only a record set on one table writes back, by the origins.
            columns_.push_back({name, s.Kind(i), table_ ? s.OriginColumn(i) : std::string()});
        }
    }

    void ReadRow(const SqliteStatement& s, Row& row) const {
        row.values.resize(columns_.size());
        for (std::size_t i = 0; i < columns_.size(); ++i)
            row.values[i] = s.Value(static_cast<int>(i), columns_[i].kind);
        row.rowid = table_ ? s.Int(0) : 0;
    }

    void StepStream() {
        if (stream_->Step()) {
            ReadRow(*stream_, current_);
        } else {
            streamDone_ = true;
            if (!streamStarted_) streamEmpty_ = true;
        }
        streamStarted_ = true;
    }

    // Makes sure the window holds row `pos`; false when there is no such row.
    bool EnsureWindow(long pos) {
        if (pos < 0) return false;
        if (pos >= windowStart_ && pos < windowStart_ + static_cast<long>(rows_.size())) return true;
        if (count_ && pos >= *count_) return false;
        bool sequential = pos == windowStart_ + static_cast<long>(rows_.size()) && !rows_.empty();
        long base = std::max({kMinWindow, cacheSize_, pageSize_});
        // One row more than a page, so that the end-of-page test needs no
        // second fetch.
        nextWindow_ = sequential ? std::min(std::max(nextWindow_ * 2, base), kMaxWindow) : base + 1;
        window_->Reset();
        window_->Bind(params_);
        window_->BindInt(userParams_ + 1, nextWindow_);
        window_->BindInt(userParams_ + 2, pos);
        rows_.clear();
        windowStart_ = pos;
        fetched_ = true;
        while (window_->Step()) {
            rows_.emplace_back();
            ReadRow(*window_, rows_.back());
        }
        window_->Reset();
        if (static_cast<long>(rows_.size()) < nextWindow_) count_ = pos + static_cast<long>(rows_.size());
        return !rows_.empty();
    }

    Row& CurrentRow() {
        if (adding_) return added_;
        if (deleted_ || Eof() || (!stream_ && !EnsureWindow(pos_))) NoCurrentRow();
        Row& row = stream_ ? current_ : rows_[static_cast<std::size_t>(pos_ - windowStart_)];
        if (table_ && !haveOriginal_) {
            original_ = row;
            haveOriginal_ = true;
        }
        return row;
    }

    // Unsaved changes are dropped when the record set moves on.
    void LeaveRow() {
        if (haveOriginal_ && !adding_ && !deleted_ && !Eof()) {
            Row& row = stream_ ? current_ : rows_[static_cast<std::size_t>(pos_ - windowStart_)];
            row = original_;
        }
        haveOriginal_ = false;
        adding_ = false;
        deleted_ = false;
    }

    void Insert() {
        std::string names, marks;
        SqlParams values;
        for (std::size_t i = Hidden(); i < columns_.size(); ++i) {
            if (added_.values[i].isEmpty()) continue;  // the table's default applies
            names += (names.empty() ? "" : ", ") + TargetColumn(i);
            marks += marks.empty() ? "?" : ", ?";
            values.push_back(ForColumn(added_.values[i], columns_[i].kind));
        }
        std::string sql = "INSERT INTO " + table_->table +
                          (names.empty() ? " DEFAULT VALUES" : " (" + names + ") VALUES (" + marks + ")");
        db_->CheckUsableUnder(grant_);
        SqliteStatement insert(db_, sql);
        insert.Bind(values);
        insert.Step();
        added_.rowid = sqlite3_last_insert_rowid(db_->handle());
        Reread(added_);
        original_ = added_;
        haveOriginal_ = true;
    }

    // Reads the saved row back, so identities and defaults show in its fields.
    void Reread(Row& row) {
        std::string list;
        std::vector<std::size_t> targets;
        for (std::size_t i = Hidden(); i < columns_.size(); ++i) {
            if (columns_[i].origin.empty()) continue;
            list += (list.empty() ? "" : ", ") + Quoted(columns_[i].origin);
            targets.push_back(i);
        }
        if (list.empty()) return;
        db_->CheckUsableUnder(grant_);
        SqliteStatement read(db_, "SELECT " + list + " FROM " + table_->table + " WHERE rowid = ?");
        read.BindInt(1, row.rowid);
        if (!read.Step()) return;
        for (std::size_t k = 0; k < targets.size(); ++k)
            row.values[targets[k]] = read.Value(static_cast<int>(k), columns_[targets[k]].kind);
    }
};

// --- Recordset ------------------------------------------------------------

long long CountOf(Connection& con, const std::string& countSql, const SqlParams& params) {
    return CountOf(con.Database(), countSql, params);
}

Recordset::Recordset() = default;
Recordset::~Recordset() = default;
Recordset::Recordset(Recordset&&) noexcept = default;
Recordset& Recordset::operator=(Recordset&&) noexcept = default;

Recordset::Impl& Recordset::impl() const {
    if (!impl_) SqliteDatabase::Fail(kObjectClosedText);
    return *impl_;
}

void Recordset::Open(const std::string& sql, Connection& con, CursorType cursor, const SqlParams& params) {
    if (impl_) SqliteDatabase::Fail(kObjectOpenText);
    impl_ = std::make_unique<Impl>(sql, con, cursor, params, cacheSize_, pageSize_);
}

void Recordset::Open(const std::string& sql, Connection& con, const SqlParams& params) {
    Open(sql, con, CursorType::ForwardOnly, params);
}

void Recordset::Close() { impl_.reset(); }
ObjectState Recordset::State() const { return impl_ ? ObjectState::Open : ObjectState::Closed; }
CursorType Recordset::Cursor() const { return impl().cursor_; }

bool Recordset::Eof() { return impl().Eof(); }
bool Recordset::Bof() { return impl().Bof(); }
void Recordset::MoveNext() { impl().MoveNext(); }
void Recordset::MoveFirst() { impl().MoveFirst(); }

Variant& Recordset::Fields(std::string_view name) { return impl().Field(name); }
Variant& Recordset::Fields(int index) { return impl().Field(index); }
int Recordset::FieldCount() const { return impl().FieldCount(); }
const std::string& Recordset::FieldName(int index) const { return impl().FieldName(index); }

void Recordset::CacheSize(long rows) {
    if (rows < 1) SqliteDatabase::Fail(kCacheSizeText);
    cacheSize_ = rows;
    if (impl_) impl_->cacheSize_ = rows;
}
long Recordset::CacheSize() const { return cacheSize_; }

void Recordset::PageSize(long rows) {
    if (rows < 1) SqliteDatabase::Fail(kPageSizeText);
    pageSize_ = rows;
    if (impl_) impl_->pageSize_ = rows;
}
long Recordset::PageSize() const { return pageSize_; }
long Recordset::RecordCount() { return impl().RecordCount(); }
void Recordset::KnownRecordCount(long count) { impl().KnownRecordCount(count); }
long Recordset::PageCount() { return impl().PageCount(); }
void Recordset::AbsolutePage(long page) { impl().AbsolutePage(page); }
long Recordset::AbsolutePage() { return impl().AbsolutePage(); }

VariantArray Recordset::GetRows() { return impl().GetRows(); }
std::string Recordset::GetString(const std::string& columnDelimiter, const std::string& rowDelimiter,
                                 const std::string& nullExpr) {
    return impl().GetString(columnDelimiter, rowDelimiter, nullExpr);
}

void Recordset::AddNew() { impl().AddNew(); }
void Recordset::Update() { impl().Update(); }
void Recordset::CancelUpdate() { impl().CancelUpdate(); }
void Recordset::Delete() { impl().Delete(); }

}  // namespace platform
