#pragma once
// The board's database at start-up: checked, created from the schema when
// missing or brought up to date, and named by the site's data source
// setting ("DSN", default "Tarnbell").
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>

#include "platform/Application.h"

namespace site {

// Why the board does not start on its file: the message names the file and
// says what to do.
class BoardFileRefused : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Files up to this size get SQLite's quick check at each start (a few
// seconds at most); a larger one is checked when a failure shows damage.
inline constexpr std::uintmax_t kQuickCheckBytes = std::uintmax_t{1} << 30;

// A line of the start's progress, for the program's log.
using StartNotice = std::function<void(const std::string&)>;

// Refuses (BoardFileRefused) a file that is write-protected, no database or
// damaged, or that cannot be created or upgraded; tells `say` of each
// upgrade step. Posts a crash left waiting for the search index are
// indexed (in the background, once the program runs work there). Returns
// the data source name that now maps to `path`.
std::string PrepareBoardDatabase(const std::string& path, const platform::Application& application,
                                 const StartNotice& say = {});

// Gives the registered member `name` (ignoring letter case) the
// administrator status, for a fresh board's first administrator. False when
// no member has that name.
bool MakeAdministrator(const std::string& path, const std::string& name);

}  // namespace site
