#pragma once
// What keeps the board's mail pages (send a page to a friend, mail a post,
// the registration's and the lost password's mail) from serving as a relay
// for mass mail: one mail per SubmitInterval from each session and to each
// mailed address a page names, a few from each client address (its members
// share it), a few recipients at most a mail, and a bounded number of mails
// a minute from all the pages together.
#include <cstddef>
#include <string>
#include <vector>

namespace core {
class Tarnbell;
}

namespace board {

// Addresses one request of a public mail page may mail. Several go in the
// envelope only, so that no recipient learns another's address.
inline constexpr std::size_t kMaxMailRecipients = 5;

// Mails the pages send in a minute, all together: far more than a board's
// members ask for, few enough that a crowd of addresses cannot make the
// board a mass mailer.
inline constexpr std::size_t kMailsPerMinute = 60;

// "" when the visitor may send a mail (to `recipients`) now, which then
// counts as sent; else the refusal to show.
std::string RepeatedMailRefusal(core::Tarnbell& page, const std::vector<std::string>& recipients = {});

}  // namespace board
