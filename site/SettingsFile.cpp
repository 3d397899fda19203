#include "site/SettingsFile.h"

#include <charconv>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/Error.h"
#include "platform/Strings.h"

namespace site {

namespace {

std::string_view TrimBlanks(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

// True when every byte belongs to a well-formed UTF-8 character: a file
// saved in another code page would otherwise reach the pages garbled.
bool IsUtf8(std::string_view s) {
    for (std::size_t i = 0; i < s.size();) {
        const std::size_t start = i;
        if (platform::DecodeUtf8(s, i) == U'\uFFFD' && s.substr(start, i - start) != "\xEF\xBF\xBD")
            return false;
    }
    return true;
}

platform::Variant SettingValue(std::string_view text) {
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"')
        return platform::Variant(text.substr(1, text.size() - 2));
    long long number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (!text.empty() && error == std::errc() && end == text.data() + text.size())
        return platform::Variant(number);
    return platform::Variant(text);
}

}  // namespace

std::vector<Setting> ParseSettings(std::string_view text) {
    std::vector<Setting> settings;
    int lineNumber = 0;
    while (!text.empty()) {
        const std::size_t newline = text.find('\n');
        const std::string_view line = TrimBlanks(text.substr(0, newline));
        text = newline == std::string_view::npos ? std::string_view() : text.substr(newline + 1);
        ++lineNumber;
        if (line.empty() || line.front() == '#') continue;
        if (!IsUtf8(line))
            platform::raise(platform::kErrInvalidCall, platform::SettingsLineNotUtf8Text(lineNumber));
        const std::size_t eq = line.find('=');
        const std::string_view key = eq == std::string_view::npos ? "" : TrimBlanks(line.substr(0, eq));
        if (key.empty())
            platform::raise(platform::kErrInvalidCall, platform::SettingsLineNotKeyValueText(lineNumber));
        settings.emplace_back(std::string(key), SettingValue(TrimBlanks(line.substr(eq + 1))));
    }
    return settings;
}

std::vector<Setting> ReadSettingsFile(const std::string& path) {
    // A folder opens as a stream that reads nothing: it would pass for an
    // empty file.
    std::ifstream in(path, std::ios::binary);
    if (!in || std::filesystem::is_directory(path)) platform::raise(platform::kErrFileNotFound, platform::kSettingsFileText + path);
    std::ostringstream text;
    text << in.rdbuf();
    std::string content = text.str();
    if (content.rfind("\xEF\xBB\xBF", 0) == 0) content.erase(0, 3);  // byte-order mark
    return ParseSettings(content);
}

void ApplySettings(const std::vector<Setting>& settings, platform::Application& application) {
    for (const auto& [key, value] : settings) application.Set(key, value);
}

}  // namespace site
