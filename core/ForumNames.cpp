#include "core/ForumNames.h"

#include <atomic>

#include "platform/Connection.h"
#include "platform/Convert.h"
#include "platform/Recordset.h"

namespace core {

namespace {

// Renames noted and not yet finished in this process (one more than that
// after a rename that was refused before its commit: harmless, since the
// queries below then only ask the note table too).
std::atomic<int> renamesRunning{0};

}  // namespace

bool ForumRenamesRunning() { return renamesRunning.load(std::memory_order_acquire) > 0; }

std::string ForumPostsCondition(const std::string& column, const std::string& name) {
    if (!ForumRenamesRunning()) return column + "=" + name;
    return column + " in (with wanted(forum) as (select " + name +
           ") select forum from wanted union all select oldname from forum_renaming, wanted where newname=forum)";
}

std::string CurrentForumName(const std::string& column) {
    if (!ForumRenamesRunning()) return column;
    return "ifnull((select newname from forum_renaming where oldname=" + column + "), " + column + ")";
}

void ForumRenameStarted() { renamesRunning.fetch_add(1, std::memory_order_acq_rel); }

void ForumRenameFinished() { renamesRunning.fetch_sub(1, std::memory_order_acq_rel); }

void CountForumRenamesLeft(platform::Connection& con) {
    platform::Recordset rs;
    rs.Open("select count(*) from forum_renaming", con);
    renamesRunning.fetch_add(static_cast<int>(platform::CLng(rs.Fields(0))), std::memory_order_acq_rel);
}

}  // namespace core
