#pragma once
// The board's database at start-up: created from the schema when missing,
// and named by the site's data source setting ("DSN", default "Tarnbell").
#include <string>

#include "platform/Application.h"

namespace site {

// Returns the data source name that now maps to `path`.
std::string PrepareBoardDatabase(const std::string& path, const platform::Application& application);

// Gives the registered member `name` (ignoring letter case) the
// administrator status, for a fresh board's first administrator. False when
// no member has that name.
bool MakeAdministrator(const std::string& path, const std::string& name);

}  // namespace site
