#pragma once
// The checks a member's mail address passes at registration and on every
// profile save; each refuses through the page's error form.
#include <string>

#include "core/PageTail.h"

namespace board {

// Present, with an "@" and a "." in it.
void RefuseBadAddress(core::Page& page, const std::string& email);
// No other member has it (letter case ignored). Run inside the write
// transaction that stores the address.
void RefuseTakenAddress(core::Page& page, const std::string& email, const std::string& ownName);

}  // namespace board
