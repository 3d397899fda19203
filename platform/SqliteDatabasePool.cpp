// Idle SQLite handles by file, reused by later connections to the same file.
#include <sqlite3.h>

#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/SqliteDatabase.h"

namespace platform {

namespace {

constexpr std::size_t kMaxIdlePerFile = 16;

struct IdleHandle {
    FileIdentity file;
    std::unique_ptr<SqliteDatabase> db;
};

struct Pool {
    std::mutex lock;
    std::map<std::string, std::vector<IdleHandle>> idle;
};

// Never destroyed: handles may come back while the program ends.
Pool& ThePool() {
    static Pool* pool = new Pool;
    return *pool;
}

// Handles of other files that were deleted or replaced would keep those
// files open for good; a board serves one file, so this rarely has work.
void DropHandlesOfGoneFiles(Pool& pool, const std::string& current, std::vector<IdleHandle>& stale) {
    for (auto it = pool.idle.begin(); it != pool.idle.end();) {
        if (it->first != current) {
            const auto file = IdentityOfFile(it->first);
            std::erase_if(it->second, [&](IdleHandle& h) {
                if (file && h.file == *file) return false;
                stale.push_back(std::move(h));
                return true;
            });
        }
        it = it->second.empty() && it->first != current ? pool.idle.erase(it) : std::next(it);
    }
}

std::shared_ptr<SqliteDatabase> Lend(std::unique_ptr<SqliteDatabase> db, const std::string& path,
                                     FileIdentity file) {
    return std::shared_ptr<SqliteDatabase>(db.release(), [path, file](SqliteDatabase* returned) {
        std::unique_ptr<SqliteDatabase> owned(returned);
        if (!sqlite3_get_autocommit(owned->handle())) return;  // never lend out an open transaction
        std::vector<IdleHandle> stale;  // closed after the lock is let go
        Pool& pool = ThePool();
        std::lock_guard guard(pool.lock);
        DropHandlesOfGoneFiles(pool, path, stale);
        auto& idle = pool.idle[path];
        if (idle.size() < kMaxIdlePerFile) idle.push_back({file, std::move(owned)});
    });
}

}  // namespace

std::size_t IdleDatabaseHandles() {
    Pool& pool = ThePool();
    std::lock_guard guard(pool.lock);
    std::size_t n = 0;
    for (const auto& [path, idle] : pool.idle) n += idle.size();
    return n;
}

std::shared_ptr<SqliteDatabase> AcquireDatabase(const std::string& path) {
    auto file = IdentityOfFile(path);
    if (!file) return std::make_shared<SqliteDatabase>(path);  // fails with SQLite's message
    std::unique_ptr<SqliteDatabase> db;
    {
        Pool& pool = ThePool();
        std::lock_guard guard(pool.lock);
        auto& idle = pool.idle[path];
        // A file replaced under the same name must not be served by old handles.
        std::erase_if(idle, [&](const IdleHandle& h) { return !(h.file == *file); });
        if (!idle.empty()) {
            db = std::move(idle.back().db);
            idle.pop_back();
        }
    }
    if (db) {
        sqlite3_set_last_insert_rowid(db->handle(), 0);
        db->WantSnapshot(false);
    } else {
        db = std::make_unique<SqliteDatabase>(path);
        db->Exec("PRAGMA cache_size=-" + std::to_string(kPooledPageCacheKiB));
    }
    return Lend(std::move(db), path, *file);
}

}  // namespace platform
