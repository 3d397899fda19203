#pragma once
// Who may see an archived topic: whoever may read the forum it was filed
// from, as with the live topic. A topic from a forum that is not private,
// or from a forum that no longer exists, is for everybody; one from a
// private forum only for a visitor admitted to that forum in this session.
//
// One topic (the archived thread view, its forms):
//     if (!MaySeeArchivedTopic(CheckForum(con, row.forumname))) ...
// Lists that gather archived rows (archive list, search, feeds):
//     const SqlCondition c = ArchivedTopicVisibleSql("a", AdmittedPrivateForums(con));
//     "select ... from archivelist a where ... and " + c.sql, params + c.params
// A reader without a session (a feed file) passes no admitted forums.
#include <string>
#include <string_view>
#include <vector>

#include "core/Tarnbell.h"
#include "platform/Connection.h"

namespace core {

struct SqlCondition {
    std::string sql;
    platform::SqlParams params;
};

// Whether a visitor may see an archived topic of the forum `entry`
// describes (Tarnbell::CheckForum of the row's forumname).
inline bool MaySeeArchivedTopic(const ForumAdmission& entry) { return !entry.exists || entry.admitted; }

// SQL condition on the archivelist row named `alias`: its topic may be seen
// by a visitor admitted to the private forums `admitted` (names as stored;
// compared ignoring case). Bind `params` where the condition stands.
SqlCondition ArchivedTopicVisibleSql(std::string_view alias, const std::vector<std::string>& admitted);

}  // namespace core
