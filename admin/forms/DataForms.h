#pragma once
// The forms of the data tools: misc.asp's recounts and account.asp's import
// of an older board's members.
#include <string>

#include "core/Visitor.h"

namespace admin::forms {

std::string MaintenanceForm(const core::Credentials& login);
std::string ImportForm(const core::Credentials& login);

}  // namespace admin::forms
