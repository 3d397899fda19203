#pragma once
// forum.asp's forms: the login, the new forum and the edit of one forum.
#include <string>
#include <vector>

#include "core/Visitor.h"

namespace admin::forms {

// A forum as the edit form shows it, the stored values.
struct ForumFields {
    std::string name;
    std::string catalog;
    std::string restrict;
    std::string password;
    std::string descript;
};

std::string ForumLoginForm(const core::Credentials& login);

// `catalogs`: the catalogs the board's forums have, offered for the new one.
std::string NewForumForm(const core::Credentials& login, const std::vector<std::string>& catalogs);

// `moderators`: the forum's moderators, each with a box to remove him.
std::string EditForumForm(const core::Credentials& login, const ForumFields& forum,
                          const std::vector<std::string>& catalogs, const std::vector<std::string>& moderators);

}  // namespace admin::forms
