#pragma once
// The rest of a seeded board: announcements, archives of old topics and a
// few private messages for the administrator.
#include <cstddef>
#include <cstdint>

#include "tools/seed/BoardPlan.h"
#include "tools/seed/SqliteBulk.h"

namespace boardseed {

// Returns the number of announcements written.
std::size_t WriteAnnouncements(SqliteFile& db, const BoardPlan& plan, std::uint64_t seed);

// Archived threads keep post ids below the board's first post; this many
// ids are taken by them.
long long ArchivedPostCount();
// Returns the number of archives written.
std::size_t WriteArchives(SqliteFile& db, const BoardPlan& plan, std::uint64_t seed);

// Returns the number of messages written (unread and read, with sent copies).
std::size_t WritePrivateMessages(SqliteFile& db, const BoardPlan& plan, std::uint64_t seed);

}  // namespace boardseed
