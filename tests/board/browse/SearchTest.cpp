// search.asp through the board host: the form, the lists, paging through a
// stored search in every pager layout, and hostile requests.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <regex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "BrowseBoard.h"
#include "board/browse/SearchBounds.h"
#include "platform/DateTime.h"
#include "platform/Strings.h"

namespace {

using browse_test::Has;

class SearchTest : public ::testing::Test, protected browse_test::BrowseBoard {
protected:
    SearchTest() {
        auto& con = db.con;
        con.Execute("insert into forum (forumname, [restrict]) values ('公开', NULL), ('讨论', 'allreg&allreg'), "
                    "('密室', 'PRIVATE')");  // private in any letter case
        // Five matching posts, 备份 1 the oldest; the second is a reply.
        for (int i = 1; i <= 5; ++i)
            Post(i, i == 2 ? platform::Variant(1) : platform::Variant(), i % 2 ? "公开" : "讨论", "小明",
                 "备份 " + std::to_string(i), "2024-05-0" + std::to_string(i) + " 10:00:00");
        Post(6, {}, "密室", "小明", "备份 密", "2024-05-06 10:00:00");
        Post(7, {}, "公开", "老王", "<b>天气</b>", "2024-05-07 10:00:00");
        con.Execute("insert into archive (archiveid, archivename) values (3, '旧档')");
        con.Execute("insert into archivelist (archiveid, postid, username, subject, message, posttime) "
                    "values (3, 40, '老王', '备份 旧', 'x', '2020-01-01 00:00:00')");
        host.application().Set("PageSize", 2);
    }

    void Post(int id, platform::Variant parent, const char* forum, const char* user, const std::string& subject,
              const std::string& time) {
        db.con.Execute("insert into post (postid, parentid, forumname, username, subject, message, posttime) "
                       "values (?, ?, ?, ?, ?, 'text', ?)",
                       {id, parent, forum, user, subject, time});
    }

    // The form as the browser sends it, with `changes` made.
    site::DriverResponse Search(const site::Fields& changes) {
        site::Fields form = {{"SearchTerms", ""}, {"BooleanAND", "YES"}, {"ForumChoice", "ALL"},
                             {"SearchIn", "ALL"},  {"SearchDate", "ALL"}, {"SearchUser", ""},
                             {"ExactName", "no"},  {"action", "simplesearch"}};
        for (auto& [key, value] : form)
            for (const auto& [changed, to] : changes)
                if (changed == key) value = to;
        return driver.Post("search.asp", form);
    }

    // The texts the session keeps of its last list.
    std::vector<std::string> Kept() {
        const platform::Variant kept = host.sessions().Begin(driver.jar.at(site::kSessionCookie))->Get("searchlist");
        std::vector<std::string> texts;
        if (kept.isArray())
            for (std::size_t i = 0; i < kept.array().size1(); ++i) texts.push_back(kept.array().at(i, 0).str());
        return texts;
    }
};

TEST_F(SearchTest, FormOffersPublicForumsAndArchives) {
    const std::string body = driver.Get("search.asp").body;
    EXPECT_TRUE(Has(body, "<form ACTION=search.asp METHOD=POST>"));
    EXPECT_TRUE(Has(body, "<option value=\"公开\">公开"));  // restrict NULL is public
    EXPECT_TRUE(Has(body, "<option value=\"讨论\">讨论"));
    EXPECT_TRUE(Has(body, "<option value=\"archive_3\">旧档"));
    EXPECT_FALSE(Has(body, "密室"));
    EXPECT_TRUE(Has(body, "<input name=action type=hidden value=simplesearch>"));
}

TEST_F(SearchTest, ResultRowsLinkTheirTopicAndEncodeSubjects) {
    std::string body = Search({{"SearchTerms", "备份"}}).body;
    EXPECT_TRUE(Has(body, "搜索结果"));
    EXPECT_TRUE(Has(body, "<A href=newsdetail.asp?id=5>备份 5</A>"));
    EXPECT_TRUE(Has(body, "<A href=newsdetail.asp?id=4>备份 4</A>"));
    EXPECT_FALSE(Has(body, "备份 密"));

    // The reply opens its topic; the archived post opens that archive's copy.
    body = driver.Get("search.asp", {{"action", "GotoPage"}, {"page", "3"}}).body;
    EXPECT_TRUE(Has(body, "<A href=archivecontent.asp?id=40&archiveid=3>备份 旧</A>"));
    body = driver.Get("search.asp", {{"action", "GotoPage"}, {"page", "2"}}).body;
    EXPECT_TRUE(Has(body, "<A href=newsdetail.asp?id=1>备份 2</A>"));

    body = Search({{"SearchTerms", "<b>"}}).body;
    EXPECT_TRUE(Has(body, "&lt;b&gt;天气&lt;/b&gt;</A>"));
    EXPECT_FALSE(Has(body, "<b>天气"));
}

TEST_F(SearchTest, TodaysTopicsAndOneMembersPosts) {
    const std::string now = platform::FormatGeneral(platform::Now());
    Post(8, {}, "讨论", "老王", "今天的话题", now);
    Post(9, {}, "密室", "老王", "今天的密谈", now);
    std::string body = driver.Get("search.asp", {{"action", "getdaily"}}).body;
    EXPECT_TRUE(Has(body, "<A href=newsdetail.asp?id=8>今天的话题</A>"));
    EXPECT_FALSE(Has(body, "今天的密谈"));
    EXPECT_FALSE(Has(body, "备份"));

    body = driver.Get("search.asp", {{"action", "searchuser"}, {"username", "老王"}}).body;
    EXPECT_TRUE(Has(body, "今天的话题"));
    EXPECT_TRUE(Has(body, "天气"));
    EXPECT_FALSE(Has(body, "今天的密谈"));
    EXPECT_FALSE(Has(body, "备份 旧"));  // archived posts are not listed

    body = driver.Get("search.asp", {{"action", "searchuser"}, {"username", "nobody"}}).body;
    EXPECT_TRUE(Has(body, "没有发现任何记录！"));
}

// Every link and choice of the pager, on every page, leads to the page it
// names, carrying one action only.
TEST_F(SearchTest, EveryPagerLinkLeadsToItsPage) {
    const std::regex address(R"((?:href|value)=/search\.asp\?([^ >]+))");
    const std::vector<std::string> pageFirstRow = {"", "备份 5", "备份 3", "备份 1"};
    for (int layout : {0, 1, 2}) {
        SCOPED_TRACE("layout " + std::to_string(layout));
        host.application().Set("PageStyle", layout);
        driver.jar.clear();
        const std::string body = Search({{"SearchTerms", "备份"}}).body;

        std::set<std::string> followed;
        std::vector<std::string> pages = {body};
        while (!pages.empty()) {
            const std::string page = pages.back();
            pages.pop_back();
            for (std::sregex_iterator m(page.begin(), page.end(), address), end; m != end; ++m) {
                const std::string query = (*m)[1];
                if (!followed.insert(query).second) continue;
                site::Fields fields;
                int actions = 0, number = 0;
                for (const std::string& pair : platform::Split(query, "&")) {
                    const auto eq = pair.find('=');
                    const std::string key = platform::LCase(pair.substr(0, eq)), value = pair.substr(eq + 1);
                    if (key == "action") ++actions;
                    if (key == "page") number = std::stoi(value);
                    fields.emplace_back(key, value);
                }
                EXPECT_EQ(actions, 1) << query;
                ASSERT_TRUE(number >= 1 && number <= 3) << query;
                const std::string next = driver.Get("search.asp", fields).body;
                const std::string firstRow = "<A href=newsdetail.asp?id=" + pageFirstRow[number].substr(7) + ">" +
                                             pageFirstRow[number] + "</A>";
                EXPECT_EQ(next.find("<A href=newsdetail.asp"), next.find(firstRow)) << query;
                EXPECT_TRUE(Has(next, firstRow)) << query;
                pages.push_back(next);
            }
        }
        EXPECT_GE(followed.size(), 3u);
    }
}

TEST_F(SearchTest, PageNumbersOutsideTheListShowItsEnds) {
    Search({{"SearchTerms", "备份"}});
    for (const char* page : {"0", "-1", "abc", ""})
        EXPECT_TRUE(Has(driver.Get("search.asp", {{"action", "gotopage"}, {"page", page}}).body, ">备份 5</A>"))
            << page;
    EXPECT_TRUE(Has(driver.Get("search.asp", {{"action", "gotopage"}, {"page", "99"}}).body, "备份 旧"));
}

TEST_F(SearchTest, PagingWithoutAStoredSearchShowsTheForm) {
    std::string body = driver.Get("search.asp", {{"action", "GotoPage"}, {"page", "2"}}).body;
    EXPECT_TRUE(Has(body, "<form ACTION=search.asp METHOD=POST>"));
    EXPECT_FALSE(Has(body, "错误号"));

    // "browser" has no list of its own: an error page, and nothing stored.
    EXPECT_TRUE(Has(driver.Get("search.asp", {{"action", "browser"}}).body, "错误号"));
    body = driver.Get("search.asp", {{"action", "GotoPage"}}).body;
    EXPECT_TRUE(Has(body, "<form ACTION=search.asp METHOD=POST>"));
}

TEST_F(SearchTest, HostileFieldsNeitherBreakTheStatementNorWidenIt) {
    const std::string quote = "x' or ''='";
    std::string body = Search({{"SearchTerms", quote},
                               {"ForumChoice", quote},
                               {"SearchUser", quote},
                               {"BooleanAND", quote},
                               {"SearchIn", quote},
                               {"ExactName", quote}})
                           .body;
    EXPECT_TRUE(Has(body, "没有发现任何记录！"));
    EXPECT_FALSE(Has(body, "错误号"));

    for (const auto& [field, value] : site::Fields{{"ForumChoice", "archive_1 or 1=1"}, {"SearchDate", quote}}) {
        body = Search({{field, value}}).body;
        EXPECT_TRUE(Has(body, "错误号：13")) << field;
        EXPECT_FALSE(Has(body, "备份")) << field;
    }

    body = driver.Get("search.asp", {{"action", "searchuser"}, {"username", "' or ''='"}}).body;
    EXPECT_TRUE(Has(body, "没有发现任何记录！"));
}

// A NUL in the words or the forum choice is dropped as the request is read;
// a form without a forum choice searches all, as the form's first choice.
// Each lists its rows with their count.
TEST_F(SearchTest, NulsAndAMissingForumChoiceListWhatTheyCount) {
    using namespace std::string_literals;
    host.application().Set("PageStyle", 2);  // the pager shows the count
    const struct {
        site::Fields form;
        const char* total;
    } cases[] = {
        {{{"SearchTerms", "备份\0"s}}, "共<B>6</b>个记录"},
        {{{"SearchTerms", "备\0份"s}, {"ForumChoice", "公开\0"s}}, "共<B>3</b>个记录"},
        {{{"SearchTerms", "备份"}, {"ForumChoice", "(none)"}}, "共<B>6</b>个记录"},
        {{{"SearchTerms", "备份 5"}, {"ForumChoice", "(none)"}}, nullptr},  // one row: no pager
    };
    for (const auto& c : cases) {
        site::Fields form = {{"action", "simplesearch"}, {"SearchIn", "ALL"}, {"SearchDate", "ALL"},
                             {"ForumChoice", "ALL"}};
        for (const auto& [key, value] : c.form) {
            std::erase_if(form, [&](const auto& f) { return f.first == key; });
            if (value != "(none)") form.emplace_back(key, value);
        }
        const std::string body = driver.Post("search.asp", form).body;
        const std::string what = c.form[0].second + " / " + c.form.back().second;
        EXPECT_FALSE(Has(body, "错误号")) << what << "\n" << body;
        EXPECT_TRUE(Has(body, "<A href=newsdetail.asp?id=")) << what << "\n" << body;
        if (c.total) {
            EXPECT_TRUE(Has(body, c.total)) << what << "\n" << body;
        }
    }
}

// The session keeps what the visitor chose, never SQL; a search that asks
// too much is refused before it runs and leaves the kept list alone.
TEST_F(SearchTest, KeepsTheChoicesAndRefusesCostlySearches) {
    Search({{"SearchTerms", "备份 x' or 1=1"}, {"BooleanAND", "NO"}});
    std::vector<std::string> kept = Kept();
    EXPECT_NE(std::find(kept.begin(), kept.end(), "备份 x' or 1=1"), kept.end());
    for (const std::string& text : kept) EXPECT_FALSE(Has(platform::LCase(text), "select")) << text;
    const std::size_t keptSize = kept.size();

    const std::string words50 = "一二三四五六七八九十一二三四五六七八九十一二三四五六七八九十一二三四五六七八九十一二三四五六七八九十";
    const std::string tooMany = "搜索的关键词太多或太长：最多10个关键词，共50个字符以内。";
    const struct {
        site::Fields changes;
        const char* refusal;  // nullptr: searched
    } cases[] = {
        {{{"SearchTerms", words50}}, nullptr},
        {{{"SearchTerms", words50 + "x"}}, tooMany.c_str()},
        {{{"SearchTerms", "a b c d e f g h i j"}, {"BooleanAND", "NO"}}, nullptr},
        {{{"SearchTerms", "a b c d e f g h i j k"}, {"BooleanAND", "NO"}}, tooMany.c_str()},
        {{{"SearchTerms", "a b c d e f g h i j k"}}, tooMany.c_str()},
        {{{"SearchUser", words50}}, nullptr},
        {{{"SearchUser", words50 + "x"}}, "参数错误"},
        {{{"ForumChoice", std::string(100, 'f')}}, nullptr},
        {{{"ForumChoice", std::string(101, 'f')}}, "参数错误"},
        {{{"SearchIn", std::string(1000, 'a')}}, "参数错误"},
    };
    for (const auto& c : cases) {
        const std::string body = Search(c.changes).body;
        const std::string what = c.changes[0].first + " of " + std::to_string(c.changes[0].second.size());
        if (c.refusal) {
            EXPECT_TRUE(Has(body, c.refusal)) << what << "\n" << body;
            EXPECT_FALSE(Has(body, "搜索结果")) << what;
        } else {
            EXPECT_TRUE(Has(body, "搜索结果")) << what << "\n" << body;
        }
    }
    EXPECT_TRUE(Has(driver.Get("search.asp", {{"action", "searchuser"}, {"username", words50 + "x"}}).body,
                    "参数错误"));

    // The last list searched is the one kept, and only it.
    kept = Kept();
    EXPECT_EQ(kept.size(), keptSize);
    EXPECT_NE(std::find(kept.begin(), kept.end(), std::string(100, 'f')), kept.end());
}

// Blanks are no words: blank terms list every visible post (the five of
// the public forums, 天气 and the archived one) in both ways of searching,
// however many blanks there are.
TEST_F(SearchTest, BlankTermsListEverything) {
    host.application().Set("PageStyle", 2);  // the pager shows the count
    for (const char* mode : {"YES", "NO"})
        for (const std::string& blanks : {std::string(1, ' '), std::string(10, ' '), std::string(50, ' ')}) {
            const std::string body = Search({{"SearchTerms", blanks}, {"BooleanAND", mode}}).body;
            EXPECT_TRUE(Has(body, "共<B>7</b>个记录")) << mode << " " << blanks.size() << "\n" << body;
        }
}

// A search past its time budget is given up: the page says it was too
// broad and what narrows it, and the session keeps the list before it.
TEST_F(SearchTest, ASearchPastItsTimeBudgetNamesWhatNarrowsIt) {
    for (int i = 0; i < 300; ++i) Post(100 + i, {}, "公开", "大文", "长文 " + std::to_string(i), "2024-04-01 10:00:00");
    Search({{"SearchTerms", "备份"}});
    const std::vector<std::string> before = Kept();
    // Words of one character: every post is read.
    const site::Fields broad = {{"SearchTerms", "长 文"}};
    auto givenUp = [](const std::string& body) {
        EXPECT_TRUE(Has(body, "搜索的范围太大，未能及时完成。请使用更少或更长的关键词")) << body;
        EXPECT_TRUE(Has(body, "选择一个论坛、只搜索标题、缩短日期范围")) << body;
        EXPECT_FALSE(Has(body, "搜索结果"));
        EXPECT_FALSE(Has(body, "错误号"));
    };

    host.application().Set("SearchMilliseconds", 0);
    givenUp(Search(broad).body);
    EXPECT_EQ(Kept(), before);

    host.application().Set("SearchMilliseconds", 1000);
    EXPECT_TRUE(Has(Search(broad).body, ">长文 299</A>"));
    // Its last page, read afresh after a new post, is given up too.
    Post(8, {}, "公开", "老王", "新", "2024-05-08 10:00:00");
    host.application().Set("SearchMilliseconds", 0);
    givenUp(driver.Get("search.asp", {{"action", "gotopage"}, {"page", "999"}}).body);
}

// An address runs two searches at once: its third is refused at once. The
// board runs a few at once: a search beyond them waits for its turn within
// its time budget, and is told when none came.
TEST_F(SearchTest, AnAddressRunsTwoSearchesAtOnceAndTheBoardAFew) {
    auto searchFrom = [&](const std::string& address) {
        site::DriverRequest request;
        request.method = "POST";
        request.page = "search.asp";
        request.form = {{"action", "simplesearch"}, {"SearchTerms", "备份"}, {"ForumChoice", "ALL"},
                        {"SearchDate", "ALL"},      {"SearchIn", "ALL"},     {"BooleanAND", "YES"}};
        request.remoteAddr = address;
        return driver.Run(request).body;
    };
    using Clock = std::chrono::steady_clock;
    core::RunningActs& running = board::RunningSearches();
    const auto later = Clock::now() + std::chrono::hours(1);
    host.application().Set("SearchMilliseconds", 5000);
    {
        const auto first = running.TryStart("10.7.0.1", later).slot;
        const auto second = running.TryStart("10.7.0.1", later).slot;
        ASSERT_TRUE(first && second);
        const auto start = Clock::now();
        EXPECT_TRUE(Has(searchFrom("10.7.0.1"), "同一地址最多同时进行2个搜索，请等前面的搜索完成后再试！"));
        EXPECT_LT(Clock::now() - start, std::chrono::seconds(1));
    }
    EXPECT_TRUE(Has(searchFrom("10.7.0.1"), "搜索结果"));
    EXPECT_TRUE(Has(searchFrom("10.7.0.1"), "搜索结果"));  // each search gives its place back

    std::vector<core::RunningActs::Slot> all;
    for (std::size_t i = 0; i < running.InAll(); ++i)
        all.push_back(std::move(*running.TryStart("10.8.0." + std::to_string(i), later).slot));
    host.application().Set("SearchMilliseconds", 50);
    const auto start = Clock::now();
    const std::string waited = searchFrom("10.7.0.2");
    EXPECT_TRUE(Has(waited, "论坛正忙于其他搜索，请稍后再搜索！")) << waited;
    EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(50));
    // A place given back during the wait is taken.
    host.application().Set("SearchMilliseconds", 5000);
    std::thread giveBack([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        all.pop_back();
    });
    EXPECT_TRUE(Has(searchFrom("10.7.0.2"), "搜索结果"));
    giveBack.join();
}

// Two searches of one session at once (two windows): a slow search by words
// and a quick one by author that starts and ends while the first counts.
// Each page shows its own total, and the list the session keeps afterwards
// is paged with that list's own total.
TEST_F(SearchTest, TwoSearchesInOneSessionEachShowTheirOwnTotal) {
    host.application().Set("PageStyle", 2);
    const std::string longText(4 << 20, 'x');
    for (int i = 0; i < 10; ++i) Post(100 + i, {}, "公开", "大文", "长文", "2024-04-01 10:00:00");
    db.con.Execute("update post set message=? where username='大文'", {longText});
    Search({{"SearchTerms", "备份"}});  // the session and its cookie

    site::RequestDriver words(host), author(host);
    words.jar = author.jar = driver.jar;
    std::string wordsPage, authorPage;
    std::thread slow([&] { wordsPage = words.Post("search.asp", {{"action", "simplesearch"},
                                                                 {"SearchTerms", "备份"}, {"ForumChoice", "ALL"},
                                                                 {"SearchDate", "ALL"}, {"SearchIn", "ALL"}}).body; });
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    authorPage = author.Get("search.asp", {{"action", "searchuser"}, {"username", "小明"}}).body;
    slow.join();
    EXPECT_TRUE(Has(wordsPage, "共<B>6</b>个记录")) << wordsPage;
    EXPECT_TRUE(Has(authorPage, "共<B>5</b>个记录")) << authorPage;

    // Page 3 of the words holds the archived post; of the author's posts, not.
    const std::string next = driver.Get("search.asp", {{"action", "gotopage"}, {"page", "3"}}).body;
    EXPECT_TRUE(Has(next, "共<B>")) << next;
    EXPECT_EQ(Has(next, "共<B>6</b>个记录"), Has(next, "备份 旧")) << next;
}

// A list's rows are built once for every visitor that asks for them, and
// follow the board's changes; a session's kept count still bounds its pages.
TEST_F(SearchTest, ListsAskedAgainFollowTheBoard) {
    host.application().Set("PageSize", 4);
    host.application().Set("PageStyle", 2);
    auto rows = [](const std::string& body) {
        std::vector<std::string> subjects;
        const std::regex link("<A href=[^>]*>(备份[^<]*)</A>");
        for (std::sregex_iterator it(body.begin(), body.end(), link), end; it != end; ++it)
            subjects.push_back((*it)[1]);
        return subjects;
    };
    const std::vector<std::string> first = rows(Search({{"SearchTerms", "备份"}}).body);
    EXPECT_EQ(first, (std::vector<std::string>{"备份 5", "备份 4", "备份 3", "备份 2"}));

    site::RequestDriver other(host);
    const std::string again =
        other.Post("search.asp", {{"action", "simplesearch"}, {"SearchTerms", "备份"}, {"ForumChoice", "ALL"},
                                  {"SearchDate", "ALL"}, {"SearchIn", "ALL"}, {"BooleanAND", "YES"}}).body;
    EXPECT_EQ(rows(again), first);

    Post(8, {}, "公开", "小红", "备份 新", "2024-05-08 10:00:00");
    EXPECT_EQ(rows(driver.Get("search.asp", {{"action", "gotopage"}, {"page", "1"}}).body),
              (std::vector<std::string>{"备份 新", "备份 5", "备份 4", "备份 3"}));
    // The session's list still counts 6: its second page ends there.
    const std::string second = driver.Get("search.asp", {{"action", "gotopage"}, {"page", "2"}}).body;
    EXPECT_TRUE(Has(second, "共<B>6</b>个记录")) << second;
    EXPECT_EQ(rows(second), (std::vector<std::string>{"备份 2", "备份 1"}));
}

}  // namespace
