#pragma once
// edit.asp's form pieces: the centre's menu, the login row of the thread
// editor's forms, the choice of a forum and the head and cells of a topic
// list.
#include <string>

#include "core/Visitor.h"

namespace platform {
class Recordset;
}

namespace admin::forms {

std::string EditMenu(const core::Credentials& login);

// The login row of the thread editor's forms, over `colspan` columns.
std::string EditIdentityRow(const std::string& colspan, const core::Credentials& login);

// The opening of the pruning and editing choices: the form and its forum
// select of the forums of `forumList` ("a,b,c").
std::string ForumChoice(const std::string& forumList, const std::string& heading, const std::string& prompt,
                        const std::string& label);
// The days row and the end of that form, which goes on to step `action`.
std::string DaysAndSubmit(const std::string& action);

// The subject form of a topic or the confirmation of its deletion, for
// the topic `postid` (a number) with `subject`.
std::string TopicStepForm(const core::Credentials& login, const std::string& subject, const std::string& postid,
                          bool forDelete);

std::string TopicListHead(const std::string& firstHeading);
// The member, reply count and last reply date cells of the listed topic
// `rs` stands on.
std::string TopicCells(platform::Recordset& rs);

}  // namespace admin::forms
