#pragma once
// archive.asp's entry: what archives are for and the login.
#include <string>

#include "core/Visitor.h"

namespace admin::forms {

std::string ArchiveLoginForm(const core::Credentials& login);

}  // namespace admin::forms
