// The host's objects on their own: request parsing, sessions, server paths,
// page-object life, the settings file and the database at start-up.
#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

#include "TempFolder.h"
#include "platform/Application.h"
#include "platform/Charset.h"
#include "platform/DataSources.h"
#include "platform/Error.h"
#include "platform/PageObject.h"
#include "platform/Response.h"
#include "site/BoardDatabase.h"
#include "site/SettingsFile.h"

namespace {

using platform::Variant;

TEST(RequestParsing, UrlEncodedEdgeCases) {
    platform::RequestCollection fields;
    platform::ParseUrlEncoded("a=1&&novalue&B=x%3Dy&a=2&%D6%D0=%D6%D0&c=&d=%zz", fields);
    EXPECT_EQ(fields("A"), Variant("1, 2"));
    EXPECT_EQ(fields.Values("a"), (std::vector<std::string>{"1", "2"}));
    EXPECT_TRUE(fields("novalue").isString());
    EXPECT_EQ(fields("novalue"), Variant(""));
    EXPECT_EQ(fields("b"), Variant("x=y"));
    EXPECT_EQ(fields("中"), Variant("中"));
    EXPECT_TRUE(fields("c").isString());
    EXPECT_EQ(fields("d"), Variant("%zz"));
    EXPECT_TRUE(fields("missing").isEmpty());
    EXPECT_EQ(fields.Count("missing"), 0u);
}

// Whatever bytes arrive, every key and value the pages read is valid UTF-8:
// what is neither GBK (escaped) nor UTF-8 (unescaped) becomes U+FFFD.
TEST(RequestParsing, EveryKeyAndValueIsValidUtf8) {
    platform::RawRequest raw;
    raw.method = "G\xFFT";
    raw.path = "/a\xFF.asp";
    raw.queryString = "q\xC3=a\xFF%FFb%D6&\xE4\xB8=\xF0\x9F%D6%D0";
    raw.body = "f=\xE4\xB8\xAD%FE%FF\xED\xA0\x80";
    raw.headers = {{"Content-Type", "application/x-www-form-urlencoded; x=\xFF"},
                   {"Cookie", "c\xFF=\xC0\xAF"},
                   {"X-Bad\xFF", "v\xFF"}};
    raw.remoteAddr = "10.0.0.\xFF";
    raw.serverName = "h\xFF";
    const platform::Request request(raw);
    for (const platform::RequestCollection* c :
         {&request.QueryString(), &request.Form(), &request.Cookies(), &request.ServerVariables()}) {
        for (const std::string& key : c->Keys()) {
            EXPECT_TRUE(platform::IsValidUtf8(key)) << key;
            for (const std::string& value : c->Values(key)) EXPECT_TRUE(platform::IsValidUtf8(value)) << key << "=" << value;
        }
    }
    EXPECT_EQ(request.QueryString("q\uFFFD"), Variant("a\uFFFD\uFFFDb\uFFFD"));
    EXPECT_EQ(request.Form("f"), Variant("中\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD"));
    EXPECT_EQ(request.QueryString("\uFFFD\uFFFD"), Variant("\uFFFD\uFFFD中"));
}

TEST(RequestParsing, CookieHeaderFirstOfANameWins) {
    platform::RequestCollection cookies;
    platform::ParseCookieHeader("UserName=%D6%D0+x;  username=second; DaysPrune=; bare", cookies);
    EXPECT_EQ(cookies("USERNAME"), Variant("中 x"));
    EXPECT_EQ(cookies.Count("username"), 1u);
    EXPECT_EQ(cookies("dayspRUNE"), Variant(""));
    EXPECT_EQ(cookies("bare"), Variant(""));
}

TEST(SessionStore, KeepsOnlySessionsWithValuesUntilTheyIdleOut) {
    using namespace std::chrono_literals;
    platform::SessionStore store(20min);
    const auto start = platform::SessionStore::Clock::now();

    auto unused = store.Begin("", start);
    EXPECT_FALSE(store.End(unused, start));  // nothing stored: no cookie, not kept
    EXPECT_EQ(store.Count(), 0u);

    auto session = store.Begin("", start);
    session->Set("UserName", "甲");
    EXPECT_TRUE(store.End(session, start));
    const std::string id = session->SessionID();
    EXPECT_EQ(id.size(), 32u);

    auto again = store.Begin(id, start + 19min);
    EXPECT_EQ(again, session);
    EXPECT_EQ(again->Get("username"), Variant("甲"));
    EXPECT_FALSE(store.End(again, start + 19min));

    // Idle for longer than the timeout since the last request: a fresh session.
    auto late = store.Begin(id, start + 40min);
    EXPECT_NE(late, session);
    EXPECT_TRUE(late->Get("UserName").isEmpty());

    auto other = store.Begin("", start);
    other->Set("x", 1);
    store.End(other, start);
    store.Sweep(start + 21min);
    EXPECT_EQ(store.Count(), 0u);
}

// A full store pushes out the longest idle session whose id never came back
// before any that did, so a flood of cookie-less requests cannot push out
// the visitors who keep their cookie.
// A store of `capacity` used at chosen times: `add` keeps a new session and
// gives its id; `alive` brings an id back (Begin touches a kept session)
// and tells whether it was still kept.
struct StoreAtTimes {
    explicit StoreAtTimes(std::size_t capacity) : store(std::chrono::minutes(20), capacity) {}
    std::string add(std::chrono::seconds at) {
        auto session = store.Begin("", t + at);
        session->Set("x", 1);
        store.End(session, t + at);
        return session->SessionID();
    }
    bool alive(const std::string& id, std::chrono::seconds at) { return !store.Begin(id, t + at)->IsEmpty(); }
    platform::SessionStore store;
    const platform::SessionStore::Clock::time_point t = platform::SessionStore::Clock::now();
};

TEST(SessionStore, FullStorePushesOutSessionsNeverBroughtBackFirst) {
    using namespace std::chrono_literals;
    StoreAtTimes s(3);
    platform::SessionStore& store = s.store;
    auto add = [&](std::chrono::seconds at) { return s.add(at); };
    auto alive = [&](const std::string& id, std::chrono::seconds at) { return s.alive(id, at); };
    const std::string member = add(0s);
    ASSERT_TRUE(alive(member, 1s));
    const std::string first = add(2s), second = add(3s), third = add(4s);
    EXPECT_EQ(store.Count(), 3u);
    EXPECT_FALSE(alive(first, 5s));
    EXPECT_TRUE(alive(member, 5s));
    // When every session has come back, the longest idle of them goes.
    EXPECT_TRUE(alive(second, 6s));
    EXPECT_TRUE(alive(third, 7s));
    add(8s);
    EXPECT_EQ(store.Count(), 3u);
    EXPECT_FALSE(alive(member, 9s));
    EXPECT_TRUE(alive(second, 9s));
}

// A store full of sessions that came back keeps a quarter of its room for
// new ones: a login's new session lives through the new sessions after it
// until its visitor comes back, and a flood of new sessions takes no more.
TEST(SessionStore, NewSessionsKeepAQuarterOfAFullStore) {
    using namespace std::chrono_literals;
    StoreAtTimes s(8);
    auto add = [&](std::chrono::seconds at) { return s.add(at); };
    auto alive = [&](const std::string& id, std::chrono::seconds at) { return s.alive(id, at); };
    std::vector<std::string> returned;
    for (int i = 0; i < 8; ++i) {
        returned.push_back(add(std::chrono::seconds(i)));
        ASSERT_TRUE(alive(returned.back(), std::chrono::seconds(i)));
    }
    const std::string login = add(10s);
    add(11s);
    EXPECT_TRUE(alive(login, 12s));

    for (int i = 0; i < 20; ++i) add(std::chrono::seconds(20 + i));
    EXPECT_EQ(s.store.Count(), 8u);
    int kept = 0;
    for (const std::string& id : returned) kept += alive(id, 50s) ? 1 : 0;
    EXPECT_EQ(kept, 5);  // of the eight, one gave way to the login, two to the reserve
    EXPECT_TRUE(alive(login, 50s));
}

TEST(SessionStore, RenewedSessionKeepsItsValuesUnderANewId) {
    platform::SessionStore store;
    auto session = store.Begin("");
    session->Set("x", 1);
    store.End(session);
    const std::string old = session->SessionID();
    store.Begin(old)->RenewId();
    EXPECT_TRUE(store.End(session));
    EXPECT_NE(session->SessionID(), old);
    EXPECT_EQ(store.Count(), 1u);
    EXPECT_TRUE(store.Begin(old)->IsEmpty());
    EXPECT_EQ(store.Begin(session->SessionID())->Get("x"), Variant(1));
    EXPECT_FALSE(store.End(session));  // renewed once, not on every request
}

TEST(SessionStore, AbandonedSessionIsDropped) {
    platform::SessionStore store;
    auto session = store.Begin("");
    session->Set("x", 1);
    store.End(session);
    session->Abandon();
    EXPECT_FALSE(store.End(session));
    EXPECT_EQ(store.Count(), 0u);
    EXPECT_NE(store.Begin(session->SessionID()), session);
}

TEST(ResponseHeaders, LineBreaksAreRefused) {
    platform::Response response;
    response.AddHeader("X-Ok", "value");
    EXPECT_THROW(response.AddHeader("X-Bad", "a\r\nSet-Cookie: x=1"), platform::RuntimeError);
    EXPECT_THROW(response.AddHeader("X-Bad\n", "a"), platform::RuntimeError);
}

// Readers keep what they read; each change, from any thread, must show.
TEST(ApplicationValues, EveryChangeShowsToLaterReads) {
    platform::Application app;
    EXPECT_TRUE(app.Get("Key").isEmpty());
    app.Set("key", Variant(1));
    EXPECT_EQ(app.Get("KEY"), Variant(1));
    app.Set("Key", Variant("two"));
    EXPECT_EQ(app.Get("key"), Variant("two"));
    std::thread([&app] {
        EXPECT_EQ(app.Get("key"), Variant("two"));
        app.Set("key", Variant(3));
        app.Set("other", Variant(4));
    }).join();
    EXPECT_EQ(app.Get("key"), Variant(3));
    EXPECT_EQ(app.Get("other"), Variant(4));
    // Changes in place, of a kept key and of a new one, and a change that
    // fails halfway.
    app.Update("KEY", [](Variant& v) { v = Variant(v.toDouble() + 1); });
    EXPECT_EQ(app.Get("key"), Variant(4.0));
    app.Update("new", [](Variant& v) {
        EXPECT_TRUE(v.isEmpty());
        v = Variant("made");
    });
    EXPECT_EQ(app.Get("New"), Variant("made"));
    EXPECT_THROW(app.Update("new", [](Variant& v) {
        v = Variant("halfway");
        platform::raise(13);
    }),
                 platform::RuntimeError);
    EXPECT_EQ(app.Get("new"), Variant("halfway"));
    platform::Application second;
    EXPECT_TRUE(second.Get("key").isEmpty());
}

TEST(ServerMapPath, MapsWithinTheSiteFolder) {
    const platform::Server server("/srv/www", "/admin/forum.asp");
    EXPECT_EQ(server.MapPath("/images/a.gif"), "/srv/www/images/a.gif");
    EXPECT_EQ(server.MapPath("upload"), "/srv/www/admin/upload");
    EXPECT_EQ(server.MapPath("../DEFAULT.CSS"), "/srv/www/DEFAULT.CSS");
    EXPECT_EQ(server.MapPath("\\images\\b.gif"), "/srv/www/images/b.gif");
    EXPECT_THROW(server.MapPath("../../etc/passwd"), platform::RuntimeError);
    EXPECT_THROW(server.MapPath("/images/../../x"), platform::RuntimeError);
}

TEST(PageObjectLife, ObjectsAreKeptOnlyBetweenStartAndEnd) {
    platform::Request request;
    platform::Response response;
    platform::Server server;
    platform::Session session("id");
    platform::Application application;
    platform::ScriptingContext context(request, response, server, session, application);

    platform::PageObject page;
    EXPECT_THROW(page.Response(), platform::RuntimeError);
    page.OnStartPage(context);
    EXPECT_EQ(&page.Response(), &response);
    EXPECT_EQ(&page.Application(), &application);
    page.OnEndPage();
    EXPECT_THROW(page.Request(), platform::RuntimeError);
}

TEST(SettingsFile, ReadsKeysValuesNumbersAndQuotedText) {
    const auto settings = site::ParseSettings(
        "# site settings\n"
        "BBName = 天钟论坛\r\n"
        "\n"
        "PageSize=0\n"
        "  MemberMinimum =  -3  \n"
        "Copyright = \"  <p>版权</p>  \"\n"
        "TableWidth = 95%\n"
        "Empty =\n");
    platform::Application application;
    site::ApplySettings(settings, application);
    EXPECT_EQ(application.Get("bbname"), Variant("天钟论坛"));
    EXPECT_TRUE(application.Get("PageSize").isNumber());
    EXPECT_EQ(application.Get("PageSize"), Variant(0));
    EXPECT_EQ(application.Get("MemberMinimum"), Variant(-3));
    EXPECT_EQ(application.Get("Copyright"), Variant("  <p>版权</p>  "));
    EXPECT_EQ(application.Get("TableWidth"), Variant("95%"));
    EXPECT_EQ(application.Get("Empty"), Variant(""));
    EXPECT_TRUE(application.Get("NotSet").isEmpty());

    EXPECT_THROW(site::ParseSettings("BBName\n"), platform::RuntimeError);
    EXPECT_THROW(site::ParseSettings(" = x\n"), platform::RuntimeError);
    EXPECT_THROW(site::ParseSettings("BBName = \xCC\xEC\xD6\xD3\n"), platform::RuntimeError);  // GBK
    EXPECT_THROW(site::ReadSettingsFile("/nonexistent/settings.txt"), platform::RuntimeError);
    EXPECT_THROW(site::ReadSettingsFile(std::filesystem::temp_directory_path().string()),
                 platform::RuntimeError);
}

TEST(BoardDatabase, CreatedOnFirstStartAndNamedByTheSetting) {
    const TempFolder folder;
    const std::string path = folder.File("board.db");

    platform::Application application;
    EXPECT_EQ(site::PrepareBoardDatabase(path, application), "Tarnbell");
    EXPECT_TRUE(std::filesystem::file_size(path) > 0);
    EXPECT_EQ(platform::DataSources::Lookup("tarnbell"), path);

    application.Set("dsn", "OtherBoard");
    EXPECT_EQ(site::PrepareBoardDatabase(path, application), "OtherBoard");
    EXPECT_EQ(platform::DataSources::Lookup("OtherBoard"), path);

    platform::DataSources::Remove("Tarnbell");
    platform::DataSources::Remove("OtherBoard");
}

}  // namespace

// Texts written with their wire form already made must reach the wire as
// the whole body's conversion would give them, whatever stands around them.
TEST(ResponseWireBody, PreEncodedTextsGiveTheSameBytesAsConvertingTheBody) {
    const auto encoded = [](std::string text) {
        return std::make_shared<const platform::EncodedText>(platform::EncodeForWire(std::move(text)));
    };
    const std::vector<std::vector<std::string>> bodies = {
        {"<p>", "#中文 text 😀符号", "</p>"},
        {"前", "#紧挨着的中文", "后"},  // no ASCII byte at either edge
        {"", "#开头", ""},
        {"a", "#bad \xC0\x80 bytes", "b"},  // not well-formed: converted with the body
        {"x\xE4\xB8", "#中", "\xAD"},  // a character split around the part
        {"", "#", "only"},
        {"<hr>", "#一", "<hr>", "#二", "\xE4\xB8\x89"},
    };
    for (const auto& parts : bodies) {
        platform::Response response;
        for (const std::string& part : parts) {
            if (!part.empty() && part[0] == '#')
                response.Write(encoded(part.substr(1)));
            else
                response.Write(part);
        }
        EXPECT_EQ(response.WireBody(), platform::Utf8ToGbk(response.Body())) << response.Body();
    }
    platform::Response cleared;
    cleared.Write(encoded("旧的"));
    cleared.Clear();
    cleared.Write("新的内容");
    EXPECT_EQ(cleared.WireBody(), platform::Utf8ToGbk("新的内容"));
}
