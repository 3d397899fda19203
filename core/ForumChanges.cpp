#include "core/ForumChanges.h"

#include <utility>
#include <vector>

#include "core/ForumNames.h"
#include "core/NameCascades.h"
#include "platform/Background.h"
#include "platform/Connection.h"
#include "platform/Recordset.h"

namespace core {

namespace {

std::vector<std::pair<std::string, std::string>> Noted(platform::Connection& con, const std::string& sql) {
    std::vector<std::pair<std::string, std::string>> notes;
    platform::Recordset rs;
    rs.Open(sql, con);
    for (; !rs.Eof(); rs.MoveNext()) notes.emplace_back(rs.Fields(0).str(), rs.Fields(1).str());
    return notes;
}

// One batch of the deleted forum's rows; false once none was left, when the
// note goes instead.
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

// One batch of the renamed forum's rows; false once none was left (or the
// note went meanwhile, with a delete of the forum), when the note goes.
// The binary comparison keeps a rename of letter case from finding the
// rows it renamed already.
bool RenameOneBatch(platform::Connection& con, const std::string& from, const std::string& to, int batch) {
    platform::Transaction tx(con);
    platform::Recordset note;
    note.Open("select 1 from forum_renaming where oldname=?1 and newname=?2", con, {from, to});
    if (note.Eof()) return false;
    note.Close();
    long renamed = 0;
    for (const NameColumn& c : NameColumns())
        if (c.onRename == OnRename::InBatches) {
            const std::string table = c.table;
            const std::string column = c.column;
            renamed += con.Execute("update " + table + " set " + column + "=?2 where rowid in (select rowid from " +
                                       table + " where " + column + "=?1 and " + column +
                                       " is not ?2 collate binary limit ?3)",
                                   {from, to, batch});
        }
    const bool done = renamed == 0 && con.Execute("delete from forum_renaming where oldname=?", {from}) > 0;
    tx.Commit();
    if (done) ForumRenameFinished();
    return renamed > 0;
}

}  // namespace

void FinishForumChanges(platform::Connection& con, int batch) {
    for (const auto& [from, to] : Noted(con, "select oldname, newname from forum_renaming"))
        while (RenameOneBatch(con, from, to, batch)) {
        }
    for (const auto& [forum, unused] : Noted(con, "select forumname, null from forum_deleting"))
        while (DeleteOneBatch(con, forum, batch)) {
        }
    con.CheckpointLog();
}

void FinishForumChangesSoon(const std::string& path) {
    platform::RunInBackground([path] {
        platform::Connection con;
        con.OpenFile(path);
        FinishForumChanges(con);
    });
}

void ResumeForumChanges(const std::string& path) {
    {
        platform::Connection con;
        con.OpenFile(path);
        CountForumRenamesLeft(con);
    }
    FinishForumChangesSoon(path);
}

}  // namespace core
