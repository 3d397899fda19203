#include "core/PostChanges.h"

#include "core/Formatting.h"
#include "platform/Charset.h"
#include "platform/Connection.h"
#include "platform/DateTime.h"

namespace core {

std::string EditNote(const std::string& editor) {
    return "[这消息被" + platform::HtmlEncode(editor) + "编辑过(编辑时间" +
           FormatPostTime(platform::Variant(platform::Now())).str() + ")]<br>";
}

long DeletePostAndReplies(platform::Connection& con, long long postid) {
    return con.Execute("delete from post where postid=?1 or parentid=?1", {postid});
}

}  // namespace core
