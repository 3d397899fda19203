#pragma once
// The board's database schema: thirteen tables, their indexes and the
// triggers that keep the stored counters current, built by numbered steps.
#include <string>
#include <vector>

#include "platform/SchemaUpgrade.h"

namespace core {

// Step 1's SQL text (core/Schema.sql, built into the library): the layout
// of the first boards.
const std::string& SchemaSql();

// Fills the search index afresh from the posts and archived posts (for a
// loader that wrote them with the triggers off).
inline constexpr const char* kFillSearchIndexSql =
    "INSERT INTO post_words (post_words) VALUES ('rebuild');"
    "INSERT INTO archive_words (archive_words) VALUES ('rebuild');";

// Every step of the layout, in order (see core/Schema.cpp to add one).
const std::vector<platform::SchemaStep>& SchemaSteps();

// Creates the database in the SQLite file at `path` when the file is
// missing or empty, and upgrades a file made by an earlier build by the
// steps it has not taken, telling `beforeStep` of each. Failures raise
// platform::RuntimeError.
void EnsureDatabase(const std::string& path, const platform::StepNotice& beforeStep = {});

}  // namespace core
