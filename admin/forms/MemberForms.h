#pragma once
// member.asp's search form: the administrator's login and the conditions a
// member is searched by.
#include <string>

#include "core/Visitor.h"

namespace admin::forms {

std::string MemberSearchForm(const core::Credentials& login);

}  // namespace admin::forms
