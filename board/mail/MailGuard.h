#pragma once
// What keeps the board's mail pages (send a page to a friend, mail a post,
// the registration's and the lost password's mail) from serving as a relay
// for mass mail: one mail per SubmitInterval from each session and from
// each client address, and to each mailed address a page names; a few
// recipients at most a mail.
#include <cstddef>
#include <string>
#include <vector>

#include "platform/DateTime.h"

namespace platform {
class Application;
}
namespace core {
class Tarnbell;
}

namespace board {

// Addresses one request of a public mail page may mail. Several go in the
// envelope only, so that no recipient learns another's address.
inline constexpr std::size_t kMaxMailRecipients = 5;

// Client addresses whose last mail is remembered; past that many within an
// interval, the one that sent longest ago is forgotten first.
inline constexpr std::size_t kMaxMailSenders = 1000;

// "" when the visitor may send a mail (to `recipients`) now, which then
// counts as sent; else the refusal to show.
std::string RepeatedMailRefusal(core::Tarnbell& page, const std::vector<std::string>& recipients = {});

// The client-address half on its own: true, and `address` remembered as
// sending at `now`, unless it sent within `intervalSeconds` before.
bool AddressMaySendMail(platform::Application& app, const std::string& address, platform::DateTime now,
                        long intervalSeconds, std::size_t capacity = kMaxMailSenders);

}  // namespace board
