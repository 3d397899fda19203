#include "board/archives/ArchivedTopic.h"

#include "core/InputChecks.h"
#include "platform/Convert.h"
#include "platform/Recordset.h"

namespace board {

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

}  // namespace board
