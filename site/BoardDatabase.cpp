#include "site/BoardDatabase.h"

#include <chrono>
#include <cstdio>
#include <filesystem>

#include "board/search/SearchIndexQueue.h"
#include "core/Schema.h"
#include "platform/Connection.h"
#include "platform/DataSources.h"
#include "platform/Error.h"
#include "platform/FileCheck.h"

namespace site {

namespace {

namespace fs = std::filesystem;

std::string Seconds(std::chrono::steady_clock::duration time) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f s", std::chrono::duration<double>(time).count());
    return text;
}

// An existing file the board may not serve as it is.
void CheckExistingFile(const std::string& path, const StartNotice& say) {
    if (platform::IsWriteProtected(path))
        throw BoardFileRefused("the board file " + path +
                               " is write-protected: the board could store no post, login or visit. "
                               "Make it writable for the user that runs board-server (chmod u+w " +
                               path + ").");
    const fs::path folder = fs::absolute(path).parent_path();
    if (platform::IsWriteProtected(folder.string()))
        throw BoardFileRefused("the folder " + folder.string() + " of the board file " + path +
                               " is write-protected: SQLite keeps the file's write-ahead log beside it. "
                               "Make the folder writable for the user that runs board-server.");
    std::error_code ec;
    const std::uintmax_t bytes = fs::file_size(path, ec);
    if (ec || bytes > kQuickCheckBytes) return;
    if (say) say("checking the board file " + path + " (" + std::to_string(bytes >> 20) + " MB)");
    const std::string finding = platform::QuickCheckFinding(path);
    if (!finding.empty()) throw BoardFileRefused(platform::DamagedFileMessage(path, finding));
}

}  // namespace

std::string PrepareBoardDatabase(const std::string& path, const platform::Application& application,
                                 const StartNotice& say) {
    std::error_code ec;
    const fs::path folder = fs::absolute(path).parent_path();
    if (!fs::is_directory(folder, ec))
        throw BoardFileRefused("the folder " + folder.string() + " of the board file " + path + " does not exist.");
    if (fs::exists(path, ec)) CheckExistingFile(path, say);

    const auto start = std::chrono::steady_clock::now();
    auto stepStart = start;
    int firstStep = 0;
    const platform::StepNotice beforeStep = [&](int step, int last) {
        const auto now = std::chrono::steady_clock::now();
        if (firstStep == 0) {
            firstStep = step;
            if (say && step == 1) say("creating the board file " + path);
        }
        if (say && firstStep > 1)
            say("upgrading the board file " + path + ": step " + std::to_string(step) + " of " +
                std::to_string(last) + (step > firstStep ? " (the step before took " + Seconds(now - stepStart) + ")" : ""));
        stepStart = now;
    };
    try {
        core::EnsureDatabase(path, beforeStep);
        platform::Connection con;
        con.OpenFile(path);
        board::IndexLeftoverPosts(con);
    } catch (const platform::RuntimeError& e) {
        if (platform::IsDamagedFileError(e)) throw BoardFileRefused(platform::DamagedFileMessage(path, e.description()));
        throw BoardFileRefused("the board file " + path + " cannot be opened, created or upgraded: " +
                               e.description());
    }
    if (say && firstStep > 1)
        say("the board file " + path + " is up to date (" + Seconds(std::chrono::steady_clock::now() - start) + ")");

    const platform::Variant setting = application.Get("DSN");
    const std::string name = setting == platform::Variant("") ? "Tarnbell" : setting.str();
    platform::DataSources::Set(name, path);
    return name;
}

bool MakeAdministrator(const std::string& path, const std::string& name) {
    platform::Connection con;
    con.OpenFile(path);
    return con.Execute("update register set status='administrator' where username=?", {name}) > 0;
}

}  // namespace site
