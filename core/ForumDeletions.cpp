#include "core/ForumDeletions.h"

#include <vector>

#include "core/NameCascades.h"
#include "platform/Background.h"
#include "platform/Connection.h"
#include "platform/Recordset.h"

namespace core {

namespace {

std::vector<std::string> DeletedForums(platform::Connection& con) {
    std::vector<std::string> names;
    platform::Recordset rs;
    rs.Open("select forumname from forum_deleting", con);
    for (; !rs.Eof(); rs.MoveNext()) names.push_back(rs.Fields(0).str());
    return names;
}

// One batch of the forum's rows; false once none was left, when the note
// goes instead.
bool DeleteOneBatch(platform::Connection& con, const std::string& forum, int batch) {
    platform::Transaction tx(con);
    long deleted = 0;
    for (const NameColumn& c : NameColumns())
        if (c.onDelete == OnDelete::DeleteInBatches) {
            const std::string table = c.table;
            deleted += con.Execute("delete from " + table + " where rowid in (select rowid from " + table +
                                       " where " + c.column + "=?1 limit ?2)",
                                   {forum, batch});
        }
    if (deleted == 0) con.Execute("delete from forum_deleting where forumname=?", {forum});
    tx.Commit();
    return deleted > 0;
}

}  // namespace

void FinishForumDeletions(platform::Connection& con, int batch) {
    for (const std::string& forum : DeletedForums(con))
        while (DeleteOneBatch(con, forum, batch)) {
        }
    con.CheckpointLog();
}

void FinishForumDeletionsSoon(const std::string& path) {
    platform::RunInBackground([path] {
        platform::Connection con;
        con.OpenFile(path);
        FinishForumDeletions(con);
    });
}

}  // namespace core
