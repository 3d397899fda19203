#pragma once
// Whether an address the request supplies stays on this board, for every
// page that forwards the browser to such an address (the forwarding page
// and the jump page).
#include <string_view>

namespace core {

// True for a relative address ("list.asp?x=1", "admin/forum.asp") or a
// path on this host ("/list.asp?x=1", as the identity form sends back);
// false for anything a browser could take elsewhere or into a script: a
// scheme, "//host", a backslash (read as "/"), control characters, a leading
// blank (stripped before parsing), ".." segments, or nothing at all.
bool IsBoardAddress(std::string_view address);

}  // namespace core
