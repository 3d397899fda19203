// search.asp on a seeded board, one kind of search per benchmark, each a
// whole page request through the host: the count of the list, one page of
// rows and the pager. Run through scripts/search-bench.sh, which seeds the
// board (or reuses one) and passes its file in SEARCH_BENCH_DB.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/Connection.h"
#include "platform/DataSources.h"
#include "site/RequestDriver.h"

namespace {

site::BoardHost& Host() {
    static site::BoardHost* host = [] {
        const char* db = std::getenv("SEARCH_BENCH_DB");
        if (!db || !*db) {
            std::fprintf(stderr, "search_bench: set SEARCH_BENCH_DB to a seeded board\n");
            std::exit(2);
        }
        platform::DataSources::Set("Tarnbell", db);
        return new site::BoardHost();
    }();
    return *host;
}

site::Fields Form(const std::string& terms, const std::string& searchIn, const std::string& user = "",
                  const std::string& exact = "no", const std::string& forum = "ALL",
                  const std::string& days = "ALL") {
    return {{"SearchTerms", terms}, {"BooleanAND", "YES"}, {"ForumChoice", forum}, {"SearchIn", searchIn},
            {"SearchDate", days},   {"SearchUser", user},  {"ExactName", exact},  {"action", "simplesearch"}};
}

// The form with "match any word" chosen.
site::Fields AnyWord(site::Fields form) {
    for (auto& [key, value] : form)
        if (key == "BooleanAND") value = "NO";
    return form;
}

// A commit by another connection between requests, as on a busy board:
// nothing a page kept from the last request is used again, and SQLite
// reads its pages afresh.
void CommitElsewhere(benchmark::State& state) {
    static platform::Connection* con = [] {
        auto* c = new platform::Connection();
        c->OpenFile(std::getenv("SEARCH_BENCH_DB"));
        c->Execute("create table if not exists bench_commits (n integer)");
        return c;
    }();
    state.PauseTiming();
    con->Execute("insert into bench_commits (n) values (1)");
    state.ResumeTiming();
}

// A new search each time, in a new session, each after a commit.
void Search(benchmark::State& state, const site::Fields& form) {
    site::RequestDriver driver(Host());
    for (auto _ : state) {
        CommitElsewhere(state);
        driver.jar.clear();
        const auto response = driver.Post("search.asp", form);
        if (response.body.find("错误号") != std::string::npos) state.SkipWithError("error page");
        benchmark::DoNotOptimize(response.body.size());
    }
}

void Get(benchmark::State& state, const site::Fields& query) {
    site::RequestDriver driver(Host());
    for (auto _ : state) {
        CommitElsewhere(state);
        driver.jar.clear();
        benchmark::DoNotOptimize(driver.Get("search.asp", query).body.size());
    }
}

// Later pages of a stored search (the form's default list: every post).
void NextPages(benchmark::State& state, const site::Fields& form) {
    site::RequestDriver driver(Host());
    driver.Post("search.asp", form);
    int page = 2;
    for (auto _ : state) {
        CommitElsewhere(state);
        const auto response = driver.Get("search.asp", {{"action", "GotoPage"}, {"page", std::to_string(page++)}});
        benchmark::DoNotOptimize(response.body.size());
    }
}

#define SEARCH_BENCH(name, ...) \
    BENCHMARK_CAPTURE(__VA_ARGS__)->Name(name)->Unit(benchmark::kMillisecond)->Iterations(3)

SEARCH_BENCH("subject words, common", Search, subject_common, Form("备份", "SUBJECT"));
SEARCH_BENCH("subject words, absent", Search, subject_absent, Form("不存在的词", "SUBJECT"));
SEARCH_BENCH("message words, common", Search, message_common, Form("备份", "ALL"));
SEARCH_BENCH("message words, rare", Search, message_rare, Form("顺便说一句，楼主说的情况我也遇到过", "ALL"));
SEARCH_BENCH("message words, Latin, common", Search, latin_common, Form("COLOR", "ALL"));
SEARCH_BENCH("message words, Latin", Search, latin, Form("download", "ALL"));
SEARCH_BENCH("message words, absent", Search, message_absent, Form("不存在的词", "ALL"));
SEARCH_BENCH("two words, all, together", Search, two_together, Form("电池 笔记本", "ALL"));
SEARCH_BENCH("two words, all, each common", Search, two_common, Form("备份 天气", "ALL"));
SEARCH_BENCH("two words, all, rarely together", Search, two_rare, Form("孩子们玩得特别开心 笔记本电池不耐用", "ALL"));
SEARCH_BENCH("two words, all, subject", Search, two_subject, Form("电池 笔记本", "SUBJECT"));
SEARCH_BENCH("two words, any", Search, two_any, AnyWord(Form("电池 笔记本", "ALL")));
SEARCH_BENCH("author, whole name", Search, author_exact, Form("", "ALL", "明月", "yes"));
SEARCH_BENCH("author, part of a name", Search, author_part, Form("", "ALL", "amy12"));
SEARCH_BENCH("message words, busiest forum", Search, message_forum,
             Form("备份", "ALL", "", "no", "灌水乐园"));
SEARCH_BENCH("message words, last 5 days", Search, message_days, Form("备份", "ALL", "", "no", "ALL", "5"));
SEARCH_BENCH("everything (form defaults)", Search, everything, Form("", "ALL"));
SEARCH_BENCH("today's topics", Get, daily, site::Fields{{"action", "getdaily"}});
SEARCH_BENCH("one member's posts", Get, user, site::Fields{{"action", "searchuser"}, {"username", "admin"}});
SEARCH_BENCH("next pages of message words", NextPages, message_pages, Form("备份", "ALL"));

}  // namespace
