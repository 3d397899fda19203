#pragma once
// Finding an archive and the archived copy a request names.
#include <cstdint>
#include <optional>
#include <string>

#include "platform/Connection.h"
#include "platform/Variant.h"

namespace board {

struct ArchiveEntry {
    std::int32_t id = 0;
    std::string name;      // as stored
    std::string descript;  // as stored
};

// The archive numbered `id`, if it exists.
std::optional<ArchiveEntry> FindArchive(platform::Connection& con, std::int32_t id);

// The archive whose copy of post `postid` a request means: the positive
// number `requested` (the request's archiveid), or, when the request names
// none (Empty or ""), the lowest existing archive holding the post (0 when
// none does). Nullopt when `requested` is given but no positive number.
std::optional<std::int32_t> ArchiveOfRequest(platform::Connection& con, const platform::Variant& requested,
                                             std::int32_t postid);

}  // namespace board
