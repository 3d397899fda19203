#pragma once
// The board home's forums, one row each in the forums' order, with a strip
// wherever the catalog changes. A row is the same for every visitor but for
// its new-post mark, so the rows are built once and kept on the database
// handle until the file changes (Connection::KeptResult).
#include <memory>
#include <vector>

#include "platform/Connection.h"
#include "platform/Response.h"
#include "platform/Server.h"
#include "platform/Variant.h"

namespace board {

struct ForumRow {
    std::shared_ptr<const platform::EncodedText> lead;   // a catalog strip if one begins here, the row up to its mark
    platform::Variant lastTime;                          // the forum's last post, for the visitor's mark
    std::shared_ptr<const platform::EncodedText> cells;  // the row after its mark
};
using ForumRows = std::vector<ForumRow>;

std::shared_ptr<const ForumRows> HomeForumRows(platform::Connection& con, const platform::Server& server);

// A strip across the forum table with a title (the title as written).
std::string CategoryStrip(const std::string& title);

}  // namespace board
