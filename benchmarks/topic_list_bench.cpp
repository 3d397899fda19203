// The topic list of a forum as its page reads it: topics whose last reply
// lies within the day filter, newest first, one page of 20 on a static
// record set, plus the count the pager needs.
//
// Two forums share one database: "small" with 1,000 old topics and "large"
// with 1,000,000, each with the same 200 topics inside the day filter. A page
// must cost the same in both. The database is built once into
// $TMPDIR/orvane-topic-list-bench.db and reused by later runs.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "core/Schema.h"
#include "platform/Connection.h"
#include "platform/Recordset.h"

namespace {

constexpr int kPageSize = 20;
constexpr int kRecentTopics = 200;
constexpr const char* kFilterStart = "2004-06-01 00:00:00";  // the day filter's bound

const char* kTopicQuery =
    "select username,status,postid,subject,hits,icon,replycount,lastreplyposttime as lastly,lastreplyusername "
    "from post where parentid is null and forumname=? and lastreplyposttime>=? order by lastreplyposttime desc";
const char* kAllTopicsQuery =
    "select username,status,postid,subject,hits,icon,replycount,lastreplyposttime as lastly,lastreplyusername "
    "from post where parentid is null and forumname=? order by lastreplyposttime desc";

// `old` topics spread over 2001-2003, then the recent ones in June 2004.
void AddTopics(platform::Connection& con, const std::string& forum, long old) {
    con.Execute("insert into forum (forumname) values (?)", {forum});
    const char* insert =
        "with recursive n(i) as (select 1 union all select i + 1 from n where i < ?) "
        "insert into post (forumname, username, subject, message, posttime, icon, status) "
        "select ?, 'user' || (i % 5000), 'subject ' || i, printf('%.*c', 200, 'x'), "
        "strftime('%Y-%m-%d %H:%M:%S', ?, '+' || (i * ?) || ' seconds'), 1 + i % 14, 'open' from n";
    con.Execute(insert, {old, forum, "2001-01-01 00:00:00", 90'000'000 / old});
    con.Execute(insert, {kRecentTopics, forum, "2004-06-02 00:00:00", 600});
}

// The database file, built on first use.
const std::string& DatabasePath() {
    static const std::string path = (std::filesystem::temp_directory_path() / "orvane-topic-list-bench.db").string();
    std::string ready = path + ".ready";
    if (!std::filesystem::exists(ready)) {
        platform::Connection con;
        for (const char* suffix : {"", "-wal", "-shm"}) std::remove((path + suffix).c_str());
        core::EnsureDatabase(path);
        con.OpenFile(path);
        con.BeginTrans();
        AddTopics(con, "small", 1'000);
        AddTopics(con, "large", 1'000'000);
        con.CommitTrans();
        con.Execute("analyze");
        con.Close();
        std::FILE* f = std::fopen(ready.c_str(), "w");
        if (f) std::fclose(f);
    }
    return path;
}

// One page as the list page reads it, on a connection of its own; returns
// the rows shown. `storedCount` takes the count from the forum's row instead
// of counting the topics.
int ShowPage(const char* sql, const platform::SqlParams& params, long page, bool storedCount = false) {
    platform::Connection con;
    con.OpenFile(DatabasePath());
    platform::Recordset rs;
    rs.CacheSize(kPageSize);
    rs.Open(sql, con, platform::CursorType::Static, params);
    if (storedCount) {
        platform::Recordset forum;
        forum.Open("select topiccount from forum where forumname=?", con, {params[0]});
        rs.KnownRecordCount(static_cast<long>(forum.Fields(0).toDouble()));
    }
    long count = rs.RecordCount();
    int shown = 0;
    if (count > 0) {
        rs.PageSize(kPageSize);
        long pages = rs.PageCount();
        rs.AbsolutePage(page < pages ? page : pages);
        for (; shown < kPageSize && !rs.Eof(); ++shown, rs.MoveNext()) {
            benchmark::DoNotOptimize(rs.Fields("subject").str());
            benchmark::DoNotOptimize(rs.Fields("lastly"));
            benchmark::DoNotOptimize(rs.Fields("lastreplyusername").str());
        }
    }
    return shown;
}

void FilteredPage(benchmark::State& state, const char* forum) {
    DatabasePath();
    long page = state.range(0);
    for (auto _ : state) benchmark::DoNotOptimize(ShowPage(kTopicQuery, {forum, kFilterStart}, page));
}

void BM_FilteredPageSmallForum(benchmark::State& state) { FilteredPage(state, "small"); }
void BM_FilteredPageLargeForum(benchmark::State& state) { FilteredPage(state, "large"); }
BENCHMARK(BM_FilteredPageSmallForum)->Arg(1)->Arg(10)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FilteredPageLargeForum)->Arg(1)->Arg(10)->Unit(benchmark::kMicrosecond);

// Without the day filter: every topic of the large forum, far into the list,
// counted by the record set or taken from the forum's stored topic count.
void BM_AllTopicsLargeForumCounted(benchmark::State& state) {
    DatabasePath();
    long page = state.range(0);
    for (auto _ : state) benchmark::DoNotOptimize(ShowPage(kAllTopicsQuery, {"large"}, page));
}
void BM_AllTopicsLargeForumStoredCount(benchmark::State& state) {
    DatabasePath();
    long page = state.range(0);
    for (auto _ : state) benchmark::DoNotOptimize(ShowPage(kAllTopicsQuery, {"large"}, page, true));
}
BENCHMARK(BM_AllTopicsLargeForumCounted)->Arg(1)->Arg(5000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AllTopicsLargeForumStoredCount)->Arg(1)->Arg(5000)->Unit(benchmark::kMillisecond);

}  // namespace
