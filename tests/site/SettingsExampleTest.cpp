// The example settings file against the code: it lists every key the board
// reads from the application values and no other, every value it shows
// loads, and as it stands it turns the registration mail off.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>

#include "core/Settings.h"
#include "platform/Application.h"
#include "platform/Strings.h"
#include "site/SettingsFile.h"

namespace {

namespace fs = std::filesystem;

std::string ReadText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

const fs::path kSource = TEST_SOURCE_DIR;

std::string ExampleText() { return ReadText(kSource / "site/board.conf.example"); }

// Every literal key the board's code reads through the settings loader or
// from the application values, less those the board stores there itself.
std::set<std::string> KeysTheCodeReads() {
    const std::regex loaderRead(R"(\bin\.(?:text|flag|int16|raw|isEmpty|leadingNumber)\("(\w+)\")");
    const std::regex appRead(R"(\b(?:Application\(\)|application|app)(?:\.Get)?\("(\w+)\"\))");
    const std::regex startRead(R"re(\bEqualsIgnoreCase\(key, "(\w+)"\))re");  // the server's own, at start
    const std::regex appWrite(R"(\b(?:Application\(\)|application|app)\.Set\("(\w+)\")");
    std::set<std::string> read, written;
    for (const char* folder : {"platform", "core", "board", "pm", "admin", "site"}) {
        for (const auto& entry : fs::recursive_directory_iterator(kSource / folder)) {
            const std::string extension = entry.path().extension().string();
            if (extension != ".cpp" && extension != ".h") continue;
            const std::string text = ReadText(entry.path());
            auto collect = [&](const std::regex& pattern, std::set<std::string>& into) {
                for (std::sregex_iterator it(text.begin(), text.end(), pattern), end; it != end; ++it)
                    into.insert(platform::LCase((*it)[1].str()));
            };
            collect(loaderRead, read);
            collect(appRead, read);
            collect(startRead, read);
            collect(appWrite, written);
        }
    }
    for (const std::string& key : written) read.erase(key);
    return read;
}

// "Key = value" and "# Key = value" lines: the keys the file sets or shows.
std::set<std::string> KeysTheExampleLists() {
    const std::regex listed(R"(^#? ?([A-Za-z]\w*) =)");
    std::set<std::string> keys;
    std::istringstream lines(ExampleText());
    for (std::string line; std::getline(lines, line);) {
        std::smatch match;
        if (std::regex_search(line, match, listed)) keys.insert(platform::LCase(match[1].str()));
    }
    return keys;
}

TEST(SettingsExample, ListsEverySettingTheBoardReadsAndNoOther) {
    const std::set<std::string> read = KeysTheCodeReads();
    // The scan finds the loader's keys and the pages' own.
    ASSERT_TRUE(read.count("smtpserver") && read.count("bbrules") && read.count("tablewidth") &&
                read.count("trustedproxy"));
    const std::set<std::string> listed = KeysTheExampleLists();
    for (const std::string& key : read) EXPECT_TRUE(listed.count(key)) << key << " is read but not listed";
    for (const std::string& key : listed) EXPECT_TRUE(read.count(key)) << key << " is listed but never read";
}

TEST(SettingsExample, SetsOnlyTheMailOffAndEveryShownValueLoads) {
    const std::vector<site::Setting> active = site::ParseSettings(ExampleText());
    ASSERT_EQ(active.size(), 1u);
    EXPECT_EQ(active[0].first, "EMailRegister");

    // Every example line taken in, as someone who uncomments them all.
    const std::regex shown(R"(^# ?[A-Za-z]\w* =)");
    std::string uncommented;
    std::istringstream lines(ExampleText());
    for (std::string line; std::getline(lines, line);)
        if (std::regex_search(line, shown)) uncommented += line.substr(line.find_first_not_of("# ")) + "\n";
    platform::Application app;
    site::ApplySettings(site::ParseSettings(uncommented), app);
    const core::Settings saved = core::CurrentSettings();
    EXPECT_NO_THROW({
        core::LoadSettings(app);
        core::LoadStyleSettings(app);
    });
    EXPECT_EQ(core::CurrentSettings().SubmitInterval, 20);
    EXPECT_EQ(core::CurrentSettings().BBStyle, "UBB");
    core::CurrentSettings() = saved;
}

}  // namespace
