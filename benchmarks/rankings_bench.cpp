// The ranking pages and who is online, run in-process through the host on a
// seeded board of 1,000,000 posts: each must read only the first rows of an
// index, whatever the size of the board. The board is seeded once into
// $TMPDIR/orvane-rankings-bench.db and reused by later runs (delete the
// file and its .ready marker after a change of the schema).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "platform/DataSources.h"
#include "site/BoardHost.h"
#include "tools/seed/Seeder.h"

namespace {

const std::string& BoardPath() {
    static const std::string path = (std::filesystem::temp_directory_path() / "orvane-rankings-bench.db").string();
    const std::string ready = path + ".ready";
    if (!std::filesystem::exists(ready)) {
        for (const char* suffix : {"", "-wal", "-shm"}) std::remove((path + suffix).c_str());
        boardseed::SeedOptions options;
        options.db = path;
        options.posts = 1'000'000;
        boardseed::SeedBoard(options);
        if (std::FILE* f = std::fopen(ready.c_str(), "w")) std::fclose(f);
    }
    return path;
}

void BM_Page(benchmark::State& state, const char* page) {
    platform::DataSources::Set("Tarnbell", BoardPath());
    site::BoardHost host;
    platform::RawRequest raw;
    raw.path = std::string("/") + page;
    raw.remoteAddr = "127.0.0.1";
    std::size_t bytes = 0;
    for (auto _ : state) {
        const site::HostResponse response = host.Handle(raw);
        if (response.status != 200 || response.body.find("错误号") != std::string::npos) {
            state.SkipWithError("the page failed");
            break;
        }
        bytes = response.body.size();
    }
    state.counters["page_bytes"] = static_cast<double>(bytes);
}

BENCHMARK_CAPTURE(BM_Page, hot, "hot.asp")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Page, morereply, "morereply.asp")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Page, active, "active.asp")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Page, top, "top.asp")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Page, online, "online.asp")->Unit(benchmark::kMillisecond);

}  // namespace
