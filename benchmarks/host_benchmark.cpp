// The web host's own cost per page: in-process (request decoding, routing,
// page object, GBK encoding of a ~6 KB page) and over a keep-alive socket.
#include <benchmark/benchmark.h>
#include <httplib.h>

#include <thread>

#include "platform/PageObject.h"
#include "site/BoardHost.h"
#include "site/HttpServer.h"

namespace {

// A page of the size the board writes: many small writes, Chinese text.
class SamplePage : public platform::PageObject {
public:
    void Show() {
        const std::string forum = Request().QueryString("GroupName").str();
        Response().Write("<html><head><title>论坛</title></head><body>");
        for (int row = 0; row < 60; ++row) {
            Response().Write("<tr><td>");
            Response().Write(Server().HTMLEncode(forum));
            Response().Write("</td><td>话题标题 topic subject ");
            Response().Write(std::to_string(row));
            Response().Write("</td></tr>");
        }
        Session().Set("FirstIn", "no");
        Response().SetCookie("sessionLoginDT", "2024-01-02 03:04:05");
        Response().Write("</body></html>");
    }
};

platform::RawRequest SampleRequest() {
    platform::RawRequest raw;
    raw.path = "/list.asp";
    raw.queryString = "GroupName=%D6%D0%CE%C4%C2%DB%CC%B3&page=2";
    raw.remoteAddr = "127.0.0.1";
    raw.headers = {{"Host", "localhost:8080"},
                   {"User-Agent", "Mozilla/5.0"},
                   {"Accept", "text/html"},
                   {"Cookie", "UserName=%D6%D0; Password=x; DaysPrune=5"}};
    return raw;
}

void BM_HandleInProcess(benchmark::State& state) {
    site::BoardHost host;
    host.router().add("list.asp", &SamplePage::Show);
    platform::RawRequest raw = SampleRequest();
    // Come back with the session cookie, as a browser does.
    for (const auto& [name, value] : host.Handle(raw).headers)
        if (name == "Set-Cookie" && value.rfind(site::kSessionCookie, 0) == 0)
            raw.headers.back().second += "; " + value.substr(0, value.find(';'));
    std::size_t bytes = 0;
    for (auto _ : state) {
        const site::HostResponse response = host.Handle(raw);
        bytes = response.body.size();
        benchmark::DoNotOptimize(bytes);
    }
    state.counters["page_bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_HandleInProcess);

void BM_StaticFileInProcess(benchmark::State& state) {
    site::BoardHost host;
    platform::RawRequest raw;
    raw.path = "/images/title.gif";
    for (auto _ : state) benchmark::DoNotOptimize(host.Handle(raw).body.size());
}
BENCHMARK(BM_StaticFileInProcess);

void BM_KeepAliveSocket(benchmark::State& state) {
    site::BoardHost host;
    host.router().add("list.asp", &SamplePage::Show);
    site::HttpServer server(host);
    server.logRequests = false;
    if (!server.Bind("127.0.0.1", 0)) {
        state.SkipWithError("cannot bind");
        return;
    }
    std::thread running([&] { server.Run(); });
    while (!server.IsRunning()) std::this_thread::yield();
    httplib::Client client("127.0.0.1", server.Port());
    client.set_keep_alive(true);
    client.set_url_encode(false);
    for (auto _ : state) {
        const auto result = client.Get("/list.asp?GroupName=%D6%D0%CE%C4");
        if (!result || result->status != 200) state.SkipWithError("request failed");
    }
    server.Stop();
    running.join();
}
BENCHMARK(BM_KeepAliveSocket)->UseRealTime();

}  // namespace
