#include "platform/SchemaUpgrade.h"

#include <memory>

#include "platform/Error.h"
#include "platform/SqliteDatabase.h"

namespace platform {

namespace {

// The step number lives in SQLite's user_version field of the file header.
int RecordedStep(const std::shared_ptr<SqliteDatabase>& db) {
    SqliteStatement version(db, "PRAGMA user_version");
    version.Step();
    if (const int recorded = static_cast<int>(version.Int(0))) return recorded;
    SqliteStatement tables(db, "SELECT EXISTS (SELECT 1 FROM sqlite_master WHERE type = 'table')");
    tables.Step();
    return tables.Int(0) ? 1 : 0;
}

void CheckNumbering(const std::vector<SchemaStep>& steps) {
    for (std::size_t i = 0; i < steps.size(); ++i) {
        if (steps[i].number != static_cast<int>(i) + 1)
            SqliteDatabase::Fail(SchemaStepOutOfOrderText(steps[i].number));
    }
}

void RunStep(SqliteDatabase& db, const SchemaStep& step) {
    if (step.repair.empty()) {
        db.Exec(std::string(step.sql));
        return;
    }
    db.Exec("SAVEPOINT schema_check");
    try {
        db.Exec(std::string(step.sql));
        db.Exec("RELEASE schema_check");
        return;
    } catch (const RuntimeError&) {
        db.Exec("ROLLBACK TO schema_check");
        db.Exec("RELEASE schema_check");
    }
    db.Exec(std::string(step.repair));
}

}  // namespace

// A handle of its own, closed at the end, rather than one of the pool: a
// tool that opens the file next may need to be its only user.
void UpgradeDatabaseFile(const std::string& path, const std::vector<SchemaStep>& steps,
                         const StepNotice& beforeStep) {
    CheckNumbering(steps);
    const auto db = std::make_shared<SqliteDatabase>(path, /*create=*/true);
    db->Exec("PRAGMA journal_mode=WAL");  // stays with the file
    const int last = static_cast<int>(steps.size());
    for (;;) {
        // Read inside the transaction: another process may have upgraded
        // the file meanwhile.
        db->Exec("BEGIN IMMEDIATE");
        try {
            const int taken = RecordedStep(db);
            if (taken > last)
                SqliteDatabase::Fail(NewerSchemaText(taken, last));
            if (taken < last) {
                const SchemaStep& step = steps[static_cast<std::size_t>(taken)];
                if (beforeStep) beforeStep(step.number, last);
                RunStep(*db, step);
                db->Exec("PRAGMA user_version = " + std::to_string(step.number));
            }
            db->Exec("COMMIT");
            if (taken == last) return;
        } catch (...) {
            try {
                db->Exec("ROLLBACK");
            } catch (...) {  // a failed step may have ended the transaction already
            }
            throw;
        }
    }
}

int SchemaStepOf(const std::string& path) {
    return RecordedStep(std::make_shared<SqliteDatabase>(path));
}

}  // namespace platform
