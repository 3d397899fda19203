// Per-request costs of the page frame: the online-list update every public
// page runs (under the application lock), marking the cached jump box, and
// the pager of a long list.
#include <benchmark/benchmark.h>

#include <string>

#include "core/Tarnbell.h"
#include "platform/Application.h"
#include "platform/Connection.h"
#include "platform/Request.h"
#include "platform/Response.h"
#include "platform/ScriptingContext.h"
#include "platform/Server.h"
#include "platform/Session.h"

namespace {

struct StartedPage {
    explicit StartedPage(platform::Application& app)
        : context(request, response, server, session, app) {
        page.OnStartPage(context);
    }
    ~StartedPage() { page.OnEndPage(); }

    static platform::RawRequest ListPage() {
        platform::RawRequest raw;
        raw.path = "/list.asp";
        return raw;
    }

    platform::Request request{ListPage()};
    platform::Response response;
    platform::Server server;
    platform::Session session{"bench"};
    platform::ScriptingContext context;
    core::Tarnbell page;
};

void BM_UpdateOnline(benchmark::State& state) {
    platform::Application app;
    app.Set("maxUser", static_cast<int>(state.range(0)));
    StartedPage p(app);
    int visitor = 0;
    for (auto _ : state) {
        const std::string ip = "10.0.0." + std::to_string(visitor++ % state.range(0));
        benchmark::DoNotOptimize(p.page.UpdateOnline(ip, "列表", ""));
    }
}
BENCHMARK(BM_UpdateOnline)->Arg(20)->Arg(200);

void BM_JumpToCached(benchmark::State& state) {
    platform::Application app;
    std::string box = "<select>";
    for (int i = 0; i < 200; ++i)
        box += "<option value=\"list.asp?GroupName=forum" + std::to_string(i) + "\">&nbsp;forum" + std::to_string(i);
    app.Set("ForumAndArchiveList", box + "</select>");
    StartedPage p(app);
    platform::Connection unused;
    for (auto _ : state) benchmark::DoNotOptimize(p.page.JumpTo(unused, "forum150"));
}
BENCHMARK(BM_JumpToCached);

void BM_PagerOfThirtyThousandPages(benchmark::State& state) {
    platform::Application app;
    app.Set("PageStyle", static_cast<int>(state.range(0)));
    StartedPage p(app);
    for (auto _ : state) {
        p.response.Clear();
        p.page.PageStyle(600000, 15000, 30000, 20, "&GroupName=abc");
    }
}
BENCHMARK(BM_PagerOfThirtyThousandPages)->Arg(0)->Arg(2);

}  // namespace
