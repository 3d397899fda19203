#pragma once
// A forum's topics as the topic list writes them, newest activity first.
// A row's HTML is the same for every visitor but for its first cell (new
// since the visit, hot, closed), so a window of rows is built once and kept
// on the database handle until the file changes (Connection::KeptResult):
// a busy forum's first page is read far more often than it is written.
#include <memory>
#include <string>
#include <vector>

#include "platform/Connection.h"
#include "platform/Response.h"
#include "platform/Server.h"
#include "platform/Variant.h"

namespace board {

struct TopicRow {
    bool closed = false;
    bool hot = false;           // more replies than the settings' HotCount
    platform::Variant lastly;   // the last activity, for the visitor's new mark
    std::shared_ptr<const platform::EncodedText> cells;  // the row after its first cell
};
using TopicRows = std::vector<TopicRow>;

// At most `count` topics of `forum` from `offset` on, without a day filter:
// a filtered list is a prefix of the unfiltered one, as the filter is on the
// order's own column.
std::shared_ptr<const TopicRows> ForumTopicRows(platform::Connection& con, const platform::Server& server,
                                                const std::string& forum, long offset, int count);

// The number of topics of `forum` whose last reply is at or after `since`
// (all topics when `since` is Empty); counts too are kept until the file
// changes.
long CountForumTopics(platform::Connection& con, const std::string& forum, const platform::Variant& since);

}  // namespace board
