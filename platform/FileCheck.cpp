#include "platform/FileCheck.h"

#include <sqlite3.h>
#include <unistd.h>

#include <filesystem>
#include <memory>

#include "platform/Error.h"
#include "platform/SqliteDatabase.h"
#include "platform/Variant.h"

namespace platform {

bool IsWriteProtected(const std::string& path) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::perms perms = fs::status(path, ec).permissions();
    if (ec) return false;
    // Permissions that forbid every writer count even for a process that may
    // write anyway (root): the file was made read-only on purpose.
    if ((perms & (fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write)) == fs::perms::none)
        return true;
    if (::access(path.c_str(), W_OK) != 0) return true;
    if (!fs::is_regular_file(path, ec)) return false;
    SqliteDatabase db(path);
    return sqlite3_db_readonly(db.handle(), "main") == 1;
}

std::string QuickCheckFinding(const std::string& path) {
    try {
        const auto db = std::make_shared<SqliteDatabase>(path);
        SqliteStatement check(db, "PRAGMA quick_check(1)");
        if (!check.Step()) return "the check gave no result";
        std::string finding = check.Value(0, ColumnKind::Plain).str();
        if (finding == "ok") return "";
        // "*** in database main ***\nPage 7: ..." on one line of the log.
        for (std::size_t at = finding.find('\n'); at != std::string::npos; at = finding.find('\n', at))
            finding.replace(at, 1, " ");
        return finding;
    } catch (const RuntimeError& e) {
        return e.description();
    }
}

std::string DamagedFileMessage(const std::string& path, const std::string& finding) {
    return "the board file " + path + " is damaged or no board file (" + finding +
           "). board-server does not serve a damaged file. Stop it, check the file with: sqlite3 " + path +
           " \"PRAGMA quick_check\" (\"ok\" when sound), and restore it from a backup.";
}

bool IsDamagedFileError(const std::exception& error) {
    const std::string_view what = error.what();
    return what == sqlite3_errstr(SQLITE_CORRUPT) || what == sqlite3_errstr(SQLITE_NOTADB);
}

}  // namespace platform
