#pragma once
// The board's database schema: thirteen tables, their indexes and the
// triggers that keep the stored counters current.
#include <string>

namespace core {

// The whole schema as SQL text (core/Schema.sql, built into the library).
const std::string& SchemaSql();

// Creates the schema in the SQLite file at `path` when the file is missing
// or empty; an existing database is left as it is. Failures raise
// platform::RuntimeError.
void EnsureDatabase(const std::string& path);

}  // namespace core
