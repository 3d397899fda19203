#include "board/posting/PostRow.h"

#include "platform/Recordset.h"

namespace board {

void AddPostRow(platform::Connection& con, std::initializer_list<std::pair<const char*, platform::Variant>> columns) {
    platform::Recordset rs;
    rs.Open("select * from post where 1=0", con, platform::CursorType::Static);
    rs.AddNew();
    for (const auto& [name, value] : columns) rs.Fields(name) = value;
    rs.Update();
}

}  // namespace board
