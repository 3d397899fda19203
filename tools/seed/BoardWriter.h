#pragma once
// Writes a planned board into its database: forums, members, moderators and
// posts, counters included.
#include <cstdint>

#include "tools/seed/BoardPlan.h"
#include "tools/seed/SqliteBulk.h"

namespace boardseed {

void WriteForums(SqliteFile& db, const BoardPlan& plan);
void WriteMembers(SqliteFile& db, const BoardPlan& plan, std::uint64_t seed);
void WriteModerators(SqliteFile& db, const BoardPlan& plan);
void WritePosts(SqliteFile& db, const BoardPlan& plan, std::uint64_t seed);

// The forum's moderator list as the board stores it: names, as mail links
// where the member has an address, joined by ", "; "诚征版主" when none.
std::string ModeratorListHtml(const BoardPlan& plan, const ForumPlan& forum);
// The address a seeded member has, or empty for none.
std::string MemberEmail(std::size_t member);

}  // namespace boardseed
