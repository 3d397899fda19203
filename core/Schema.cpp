#include "core/Schema.h"

#include <sqlite3.h>

#include "platform/SqliteDatabase.h"

namespace core {

void EnsureDatabase(const std::string& path) {
    auto db = std::make_shared<platform::SqliteDatabase>(path, /*create=*/true);
    // WAL lets readers go on while one request writes; the setting stays
    // with the file.
    db->Exec("PRAGMA journal_mode=WAL");
    db->Exec("BEGIN IMMEDIATE");
    try {
        bool empty;
        {
            platform::SqliteStatement tables(db, "SELECT count(*) FROM sqlite_master WHERE type = 'table'");
            tables.Step();
            empty = tables.Int(0) == 0;
        }
        if (empty) db->Exec(SchemaSql());
        db->Exec("COMMIT");
    } catch (...) {
        sqlite3_exec(db->handle(), "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
}

}  // namespace core
