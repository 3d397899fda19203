#pragma once
// The site settings file: "key = value" lines in UTF-8, read into the
// application values at start. Blank lines and lines starting with "#" are
// skipped. A value in double quotes is taken as it stands between them;
// otherwise blanks around it are dropped and a whole number becomes a
// number, as a site script would set it.
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/Application.h"
#include "platform/Variant.h"

namespace site {

using Setting = std::pair<std::string, platform::Variant>;

// Error 5 naming the line for a line without "=" or without a key, or one
// that is not UTF-8.
std::vector<Setting> ParseSettings(std::string_view text);
// Error 53 when the file cannot be read (also when it is a folder).
std::vector<Setting> ReadSettingsFile(const std::string& path);
void ApplySettings(const std::vector<Setting>& settings, platform::Application& application);

}  // namespace site
