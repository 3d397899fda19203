#pragma once
// Adding a post row.
#include <initializer_list>
#include <utility>

#include "platform/Variant.h"

namespace platform {
class Connection;
}

namespace board {

// Adds one row to `post` through a record set, setting the given columns in
// order; an Empty value leaves the column to the table's default.
void AddPostRow(platform::Connection& con, std::initializer_list<std::pair<const char*, platform::Variant>> columns);

}  // namespace board
