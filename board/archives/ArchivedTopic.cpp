#include "board/archives/ArchivedTopic.h"

#include "core/InputChecks.h"
#include "platform/Convert.h"
#include "platform/Recordset.h"

namespace board {

std::string ArchivedThreadRows(const std::string& alias) {
    const std::string a = alias.empty() ? "" : alias + ".";
    return "+" + a + "archiveid = ?1 and (" + a + "postid = ?2 or " + a + "parentid = ?2)";
}

std::optional<ArchiveEntry> FindArchive(platform::Connection& con, std::int32_t id) {
    platform::Recordset rs;
    rs.Open("select archivename, descript from archive where archiveid = ?", con, {platform::Variant(id)});
    if (rs.Eof()) return std::nullopt;
    return ArchiveEntry{id, rs.Fields("archivename").str(), rs.Fields("descript").str()};
}

std::optional<std::int32_t> ArchiveOfRequest(platform::Connection& con, const platform::Variant& requested,
                                             std::int32_t postid) {
    if (!requested.isEmpty() && !requested.str().empty()) {
        if (!core::IsPositiveNumber(requested)) return std::nullopt;
        return platform::CLng(requested);
    }
    platform::Recordset rs;
    rs.Open("select min(a.archiveid) from archivelist a inner join archive on archive.archiveid = a.archiveid"
            " where a.postid = ?",
            con, {platform::Variant(postid)});
    return rs.Fields(0).isNull() ? 0 : platform::CLng(rs.Fields(0));
}

std::optional<EditedPost> ArchivedPosts::Find(platform::Connection& con, std::int32_t id) {
    const std::optional<std::int32_t> archive = ArchiveOfRequest(con, requested_, id);
    if (!archive) return std::nullopt;
    archive_ = *archive;
    platform::Recordset rs;
    rs.Open("select a.parentid, a.forumname, a.username, a.subject, a.message, a.edithistory, a.ip, a.posttime,"
            " archive.archivename from archivelist a inner join archive on archive.archiveid = a.archiveid"
            " where a.archiveid = ? and a.postid = ?",
            con, {platform::Variant(archive_), platform::Variant(id)});
    if (rs.Eof()) return std::nullopt;
    EditedPost post = EditedPostOfRow(rs, id);
    post.smiles = false;
    post.archiveId = archive_;
    post.archiveName = rs.Fields("archivename").str();
    return post;
}

void ArchivedPosts::SaveEdit(platform::Connection& con, std::int32_t id, const std::string& message,
                             const std::string& history, bool) {
    con.Execute("update archivelist set message = ?, edithistory = ? where archiveid = ? and postid = ?",
                {platform::Variant(message), platform::Variant(history), platform::Variant(archive_),
                 platform::Variant(id)});
}

void ArchivedPosts::RenameThread(platform::Connection& con, std::int32_t thread, const std::string& subject) {
    con.Execute("update archivelist set subject = ?3 where " + ArchivedThreadRows(),
                {platform::Variant(archive_), platform::Variant(thread), platform::Variant(subject)});
}

void ArchivedPosts::DeleteThread(platform::Connection& con, std::int32_t id) {
    con.Execute("delete from archivelist where " + ArchivedThreadRows(),
                {platform::Variant(archive_), platform::Variant(id)});
}

Forward ArchiveTopicList(std::int32_t archive, const std::string& target) {
    return {"archivelist.asp?archiveid=" + std::to_string(archive), target};
}

}  // namespace board
