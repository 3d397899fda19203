#include "core/Schema.h"

namespace core {

// To change the layout, add a step at the end of the list: the next number
// and its SQL (new tables, columns, indexes or triggers, and whatever
// rewrites the rows already stored). Never edit a step that has shipped:
// boards that took it will not run it again. Each step runs in one
// transaction, once per board file, at the server's start.
const std::vector<platform::SchemaStep>& SchemaSteps() {
    static const std::vector<platform::SchemaStep> steps = {
        {1, SchemaSql()},
        {2, R"sql(
            -- The mailboxes list newest first (boards made while these stood
            -- in step 1 have them already).
            CREATE INDEX IF NOT EXISTS pm_recipient_time ON PM (recipient, posttime);
            CREATE INDEX IF NOT EXISTS outbox_sender_time ON outbox (sender, posttime, postid);
            -- A member lists a name once: the first of any repeats stays.
            DELETE FROM ignorelist WHERE rowid NOT IN
              (SELECT min(rowid) FROM ignorelist GROUP BY username, ignoreusername);
            DROP INDEX ignorelist_user;
            CREATE UNIQUE INDEX ignorelist_user ON ignorelist (username, ignoreusername);
        )sql"},
    };
    return steps;
}

void EnsureDatabase(const std::string& path) { platform::UpgradeDatabaseFile(path, SchemaSteps()); }

}  // namespace core
