#pragma once
// The forms that reach every member: mail.asp's mass mail and
// broadcast.asp's private message.
#include <string>

#include "core/Visitor.h"

namespace admin::forms {

// Prefills the name only.
std::string MassMailForm(const core::Credentials& login);
// Prefills the name only.
std::string BroadcastForm(const core::Credentials& login);

}  // namespace admin::forms
