// board-server: the board's own web host.
#include <pthread.h>
#include <signal.h>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include <boost/asio/post.hpp>
#include <boost/asio/thread_pool.hpp>

#include "core/ForumChanges.h"
#include "core/Module1.h"
#include "core/Settings.h"
#include "platform/Background.h"
#include "platform/FileCheck.h"
#include "platform/StopHooks.h"
#include "platform/Strings.h"
#include "site/AllocatorPolicy.h"
#include "site/BoardDatabase.h"
#include "site/BoardHost.h"
#include "site/HttpServer.h"
#include "site/SettingsFile.h"

namespace {

struct Options {
    std::string host = "127.0.0.1";
    int port = 8080;
    std::string db = "board.db";
    std::string www = BOARD_DEFAULT_WWW;
    std::string data = "data";
    std::string settings;
    std::string makeAdmin;
};

void PrintUsage(std::FILE* out) {
    std::fprintf(out,
                 "usage: board-server [options]\n"
                 "  --host ADDRESS   address to listen on (default 127.0.0.1)\n"
                 "  --port N         port to listen on (default 8080)\n"
                 "  --db FILE        database file, created on first start (default board.db)\n"
                 "  --www DIR        site folder with the static files (default %s)\n"
                 "  --data DIR       the board's data folder (default data)\n"
                 "  --settings FILE  site settings, key = value lines in UTF-8 (default none)\n"
                 "  --make-admin NAME  make the registered member NAME an administrator of the\n"
                 "                   board in --db, then exit (a fresh board's first administrator)\n"
                 "  --help           show this text\n",
                 BOARD_DEFAULT_WWW);
}

// False (after a message) for a wrong command line; `help` set for --help.
bool ParseOptions(int argc, char** argv, Options& options, bool& help) {
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i], value;
        if (arg == "--help" || arg == "-h") {
            help = true;
            return true;
        }
        const std::size_t eq = arg.find('=');
        if (eq != std::string::npos) {
            value = arg.substr(eq + 1);
            arg.erase(eq);
        } else if (i + 1 < argc) {
            value = argv[++i];
        } else {
            std::fprintf(stderr, "board-server: %s needs a value\n", arg.c_str());
            return false;
        }
        if (arg == "--host") options.host = value;
        else if (arg == "--db") options.db = value;
        else if (arg == "--www") options.www = value;
        else if (arg == "--data") options.data = value;
        else if (arg == "--settings") options.settings = value;
        else if (arg == "--make-admin") options.makeAdmin = value;
        else if (arg == "--port") {
            char* end = nullptr;
            const long port = std::strtol(value.c_str(), &end, 10);
            if (value.empty() || *end != '\0' || port < 0 || port > 65535) {
                std::fprintf(stderr, "board-server: bad port %s\n", value.c_str());
                return false;
            }
            options.port = static_cast<int>(port);
        } else {
            std::fprintf(stderr, "board-server: unknown option %s\n", arg.c_str());
            return false;
        }
    }
    // Without it every page would lack its pictures and style sheet.
    std::error_code error;
    if (!std::filesystem::is_directory(options.www, error)) {
        std::fprintf(stderr, "board-server: no site folder at %s (--www)\n", options.www.c_str());
        return false;
    }
    return true;
}

std::string AddressToOpen(const Options& options, int port) {
    std::string host = options.host;
    if (host == "0.0.0.0" || host == "::" || host.empty()) host = "127.0.0.1";
    if (host.find(':') != std::string::npos) host = "[" + host + "]";
    return "http://" + host + ":" + std::to_string(port) + "/";
}

// The setting TrustedProxy, read once at start: the host decides by it
// before any page runs. False (after a message) for a word that is not an
// address.
bool ReadTrustedProxies(const std::vector<site::Setting>& settings, site::TrustedProxies& proxies) {
    for (const auto& [key, value] : settings) {
        if (!platform::EqualsIgnoreCase(key, "TrustedProxy")) continue;
        std::string bad;
        const auto named = site::TrustedProxies::FromSetting(value.str(), bad);
        if (!named) {
            std::fprintf(stderr, "board-server: TrustedProxy: %s is not an IP address\n", bad.c_str());
            return false;
        }
        proxies = *named;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    bool help = false;
    if (!ParseOptions(argc, argv, options, help)) {
        PrintUsage(stderr);
        return 2;
    }
    if (help) {
        PrintUsage(stdout);
        return 0;
    }
    site::SetAllocatorPolicy(std::thread::hardware_concurrency());

    // Signals are taken by one thread with sigwait; every other thread,
    // including the server's threads started below, keeps them blocked.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    try {
        std::filesystem::create_directories(options.data);
        core::SetAppFolder(options.data);  // generated files go beside the database
        const std::vector<site::Setting> settings =
            options.settings.empty() ? std::vector<site::Setting>() : site::ReadSettingsFile(options.settings);
        site::HostOptions hostOptions;
        hostOptions.wwwRoot = options.www;
        if (!ReadTrustedProxies(settings, hostOptions.trustedProxies)) return 1;
        // Work the pages need not wait for runs on threads of its own, as
        // does what the start finds left over by a crash: two, as the search
        // index's batches go on while posts keep coming, and the rest (hits,
        // a forum's posts renamed or deleted in batches) must not wait for
        // them to end.
        boost::asio::thread_pool background(2);
        platform::SetBackgroundRunner([&background, &options](std::function<void()> work) {
            boost::asio::post(background, [work = std::move(work), &options] {
                try {
                    work();
                } catch (const std::exception& e) {
                    std::fprintf(stderr, "board-server: background work failed: %s\n", e.what());
                    // Every later batch would fail alike: say what to do.
                    if (platform::IsDamagedFileError(e))
                        std::fprintf(stderr, "board-server: %s\n",
                                     platform::DamagedFileMessage(options.db, e.what()).c_str());
                }
            });
        });
        site::BoardHost host(hostOptions);
        site::ApplySettings(settings, host.application());
        const std::string dataSource = site::PrepareBoardDatabase(
            options.db, host.application(),
            [](const std::string& line) { std::fprintf(stderr, "board-server: %s\n", line.c_str()); });
        std::fprintf(stderr, "board-server: database %s (data source %s)\n", options.db.c_str(),
                     dataSource.c_str());

        if (!options.makeAdmin.empty()) {
            if (!site::MakeAdministrator(options.db, options.makeAdmin)) {
                std::fprintf(stderr, "board-server: no registered member is named %s\n", options.makeAdmin.c_str());
                return 1;
            }
            std::fprintf(stderr, "board-server: %s is an administrator now.\n", options.makeAdmin.c_str());
            return 0;
        }

        site::HttpServer server(host);
        if (!server.Bind(options.host, options.port)) {
            std::fprintf(stderr, "board-server: cannot listen on %s port %d\n", options.host.c_str(),
                         options.port);
            return 1;
        }
        // Mails and feeds address the board where it listens, unless the
        // settings name the address it is reached by.
        core::SetDefaultBoardAddress(AddressToOpen(options, server.Port()));
        if (host.boardPageCount() == 0)
            std::fprintf(stderr,
                         "board-server: no board pages are built yet; only the site's own pages "
                         "(Default.htm, jump.asp) and the static files of %s are served.\n",
                         options.www.c_str());
        std::fprintf(stderr, "board-server: listening on %s:%d; open %s in a browser (Ctrl+C stops).\n",
                     options.host.c_str(), server.Port(), AddressToOpen(options, server.Port()).c_str());

        // The posts of forums deleted or renamed before a crash follow in
        // batches beside the pages.
        core::ResumeForumChanges(options.db);

        std::thread stopper([&] {
            int signal = 0;
            sigwait(&stopSignals, &signal);
            if (signal == SIGINT || signal == SIGTERM) server.Stop();
        });
        {
            site::PeriodicTrim trim;
            server.Run();
        }
        // Run also returns on its own failure: wake the stopper if it still waits.
        pthread_kill(stopper.native_handle(), SIGTERM);
        stopper.join();
        platform::SetBackgroundRunner({});
        background.join();
        // What the areas keep in memory, such as hits tallied since the
        // last batch.
        platform::RunStopHooks();
        std::fprintf(stderr, "board-server: stopped.\n");
    } catch (const std::exception& e) {
        std::fprintf(stderr, "board-server: %s\n", e.what());
        return 1;
    }
    return 0;
}
