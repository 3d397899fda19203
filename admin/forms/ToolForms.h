#pragma once
// The forms of the panel's tools: upload.asp's file upload, jscode.asp's
// news feeds and analyzer.asp's login.
#include <string>

#include "core/Visitor.h"

namespace admin::forms {

std::string UploadForm(const core::Credentials& login);
std::string FeedForm(const core::Credentials& login);
// Prefills the name only.
std::string AnalyzerLoginForm(const core::Credentials& login);

}  // namespace admin::forms
