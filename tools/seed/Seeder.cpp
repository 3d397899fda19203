#include "tools/seed/Seeder.h"

#include <chrono>
#include <ctime>
#include <filesystem>
#include <stdexcept>
#include <utility>
#include <vector>

#include "core/Schema.h"
#include "tools/seed/BoardPlan.h"
#include "tools/seed/BoardWriter.h"
#include "tools/seed/ExtrasWriter.h"
#include "tools/seed/SqliteBulk.h"

namespace boardseed {
namespace {

// Rows load far faster without indexes to keep and triggers to run; the
// writers supply the counters the triggers would have kept. Both come back
// exactly as the schema made them.
class SchemaExtrasSuspended {
public:
    explicit SchemaExtrasSuspended(SqliteFile& db) : db_(db) {
        Statement list(db, "SELECT type, name, sql FROM sqlite_master"
                           " WHERE type IN ('index', 'trigger') AND sql IS NOT NULL");
        while (list.Step()) items_.push_back({list.Text(0), list.Text(1), list.Text(2)});
        for (const Item& item : items_) db.Exec("DROP " + item.type + " \"" + item.name + "\"");
    }
    void Restore() {
        for (const Item& item : items_) {
            if (item.type == "index") db_.Exec(item.sql);
        }
        for (const Item& item : items_) {
            if (item.type == "trigger") db_.Exec(item.sql);
        }
    }

private:
    struct Item {
        std::string type, name, sql;
    };
    SqliteFile& db_;
    std::vector<Item> items_;
};

std::string JournalMode(SqliteFile& db) {
    Statement mode(db, "PRAGMA journal_mode");
    return mode.Step() ? mode.Text(0) : "delete";
}

}  // namespace

SeedReport SeedBoard(const SeedOptions& options) {
    const auto started = std::chrono::steady_clock::now();
    std::error_code ec;
    if (std::filesystem::file_size(options.db, ec) > 0 && !ec) {
        throw std::runtime_error(options.db + " already holds a database; seed a new file");
    }
    core::EnsureDatabase(options.db);

    const Seconds now = options.now ? options.now : static_cast<Seconds>(std::time(nullptr));
    const BoardPlan plan = PlanBoard(options.posts, options.seed, now, ArchivedPostCount() + 1);

    SqliteFile db(options.db);
    const std::string journal = JournalMode(db);
    // A new file: nothing to recover if the load stops halfway.
    db.Exec("PRAGMA journal_mode = OFF");
    db.Exec("PRAGMA synchronous = OFF");
    db.Exec("PRAGMA cache_size = -262144");
    db.Exec("PRAGMA temp_store = MEMORY");

    SeedReport report;
    db.Exec("BEGIN");
    SchemaExtrasSuspended extras(db);
    WriteForums(db, plan);
    WriteMembers(db, plan, options.seed);
    WriteModerators(db, plan);
    WritePosts(db, plan, options.seed);
    report.announcements = WriteAnnouncements(db, plan, options.seed);
    report.archives = WriteArchives(db, plan, options.seed);
    report.messages = WritePrivateMessages(db, plan, options.seed);
    extras.Restore();
    db.Exec(core::kFillSearchIndexSql);
    db.Exec("COMMIT");
    db.Exec("PRAGMA journal_mode = " + journal);

    report.forums = plan.forums.size();
    report.members = plan.members.size();
    report.topics = plan.topics.size();
    report.posts = plan.posts.size();
    report.busyForum = plan.forums[plan.busyForum].name;
    report.privateForum = plan.forums[plan.privateForum].name;
    if (plan.members.size() > 1) report.firstMember = plan.members[1].name;
    if (!plan.topics.empty()) {
        report.longThreadId = plan.topics[plan.longTopic].postid;
        report.longThreadPosts = plan.topics[plan.longTopic].replies + 1;
    }
    report.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    return report;
}

}  // namespace boardseed
