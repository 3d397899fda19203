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
    };
    return steps;
}

void EnsureDatabase(const std::string& path) { platform::UpgradeDatabaseFile(path, SchemaSteps()); }

}  // namespace core
