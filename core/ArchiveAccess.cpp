#include "core/ArchiveAccess.h"

#include "core/PublicForum.h"

namespace core {

SqlCondition ArchivedTopicVisibleSql(std::string_view alias, const std::vector<std::string>& admitted) {
    // Hidden only when its forum stands and is private, and not one the
    // visitor was admitted to. forum.forumname ignores case, so does "in".
    SqlCondition c;
    c.sql = "not exists (select 1 from forum where forum.forumname = " + std::string(alias) +
            ".forumname and not (" + kPublicForumSql + ")";
    if (!admitted.empty()) {
        c.sql += " and forum.forumname not in (";
        for (std::size_t i = 0; i < admitted.size(); ++i) {
            c.sql += i == 0 ? "?" : ",?";
            c.params.emplace_back(admitted[i]);
        }
        c.sql += ")";
    }
    c.sql += ")";
    return c;
}

}  // namespace core
