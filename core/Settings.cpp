// Filling the thread's settings record from the application values. A key
// the site left empty gives the default; otherwise the value is converted,
// and a value that does not convert fails the page start. Fields are set one
// by one, so a failure leaves the earlier ones new and the later ones old.
#include "core/Settings.h"

#include "platform/Application.h"
#include "platform/Convert.h"
#include "platform/Strings.h"

namespace core {

Settings& CurrentSettings() {
    thread_local Settings settings;
    return settings;
}

namespace {

const char* const kDefaultNavBar =
    "<a href=profile.asp>个人信息</a> | <a href=signup.asp>注册</a> | "
    "<a href=option.asp>设置</a> | <a href=search.asp>搜索</a> | "
    "<a href=showFavor.asp>查看收藏</a> | <a href=FAQ.html target=_blank>帮助</a> | "
    "<a href=top.asp>排行榜</a>";

// The footer names the board's own mail address; built again only when
// that address changes, not at every page start.
const std::string& DefaultCopyright(const std::string& email) {
    thread_local std::string builtFor, footer;
    if (footer.empty() || builtFor != email) {
        builtFor = email;
        footer = "<p align=center><font class=smallFont>Tarnbell 论坛 &nbsp;|&nbsp; "
                 "站务联系：<a href=mailto:" + email + ">" + email + "</a> &nbsp;|&nbsp; "
                 "感谢每一位参与讨论的朋友</font></p>";
    }
    return footer;
}

// Set once at start, before any page runs.
std::string& BoardAddressDefault() {
    static std::string address = "http://127.0.0.1:8080/";
    return address;
}

// Reads keys of one application, each compared with "" before it is used,
// and hashes every result it gives into `fingerprint`.
class Reader {
public:
    // `stamp`, when given, notes every key read.
    Reader(platform::Application& app, std::uint64_t& fingerprint, platform::Application::ReadStamp* stamp)
        : app_(app), fingerprint_(fingerprint), stamp_(stamp) {
        fingerprint_ = 0;
    }

    // Every key is read here first (or through raw).
    bool isEmpty(const char* key) const {
        note(key);
        const bool empty = app_(key) == platform::Variant("");
        mix(empty ? 5 : 6);
        return empty;
    }

    std::string text(const char* key, const char* fallback) const {
        std::string value = isEmpty(key) ? fallback : platform::CStr(app_(key));
        mix(std::hash<std::string>{}(value));
        return value;
    }
    bool flag(const char* key, bool fallback) const {
        const bool value = isEmpty(key) ? fallback : platform::CBool(app_(key));
        mix(value ? 1 : 2);
        return value;
    }
    std::int16_t int16(const char* key, std::int16_t fallback) const {
        const std::int16_t value = isEmpty(key) ? fallback : platform::CInt(app_(key));
        mix(static_cast<std::uint16_t>(value) + 3);
        return value;
    }
    // The number the value's text starts with.
    double leadingNumber(const char* key) const {
        const double value = platform::Val(platform::CStr(app_(key)));
        mix(std::hash<double>{}(value));
        return value;
    }
    platform::Variant raw(const char* key) const {
        note(key);
        platform::Variant value = app_(key);
        mix(std::hash<std::string>{}(platform::CStr(value)) + static_cast<std::uint64_t>(value.isEmpty()));
        return value;
    }

private:
    void note(const char* key) const {
        if (stamp_) stamp_->Note(key);
    }

    // Order matters: the same values under other keys give another print.
    void mix(std::uint64_t value) const {
        fingerprint_ = (fingerprint_ ^ value) * 0x100000001b3ULL + 0x9e3779b97f4a7c15ULL;
    }

    platform::Application& app_;
    std::uint64_t& fingerprint_;
    platform::Application::ReadStamp* stamp_;
};

std::string attribute(const char* name, const std::string& value) {
    return std::string(name) + "=\"" + value + "\"";
}

}  // namespace

std::string Settings::Fingerprint() const {
    return std::to_string(loadedFingerprint) + "." + std::to_string(styleFingerprint);
}

void SetDefaultBoardAddress(std::string address) { BoardAddressDefault() = std::move(address); }

namespace {

void LoadBoardSettings(platform::Application& application, platform::Application::ReadStamp* stamp) {
    Settings& s = CurrentSettings();
    Reader in(application, s.loadedFingerprint, stamp);

    s.MailNotify = true;
    s.EMailRegister = in.flag("EMailRegister", true);

    std::string dsn = in.text("DSN", "Tarnbell");
    std::string user = in.text("UserID", "sa");
    std::string password = in.text("Password", "");
    s.ConnectionString = "Provider=MSDASQL.1;USER ID=" + user + ";PASSWORD=" + password +
                         ";DATA SOURCE=" + dsn;

    s.UploadBaseDir = in.text("UploadBaseDir", "");  // none: the data folder's "upload"
    s.DisplayPostCount = in.flag("DisplayPostCount", false);
    s.RejectiveIP = in.text("RejectiveIP", "");
    s.EMailCheck = in.flag("EMailCheck", true);
    s.SubmitCheck = in.flag("SubmitCheck", true);
    s.SubmitInterval = in.int16("SubmitInterval", 20);
    s.OnlineTime = in.int16("OnlineTime", 5);
    s.MaxUser = in.int16("maxUser", 20);
    s.SmtpServer = in.text("SmtpServer", "127.0.0.1:25");
    s.BBURL = in.text("BBURL", BoardAddressDefault().c_str());
    s.BBEMail = in.text("BBEMail", "board@localhost");
    s.BBName = in.text("BBName", "Tarnbell");
    s.DaysPruneDefault = in.int16("DaysPruneDefault", 5);
    s.Copyright = in.text("Copyright", DefaultCopyright(s.BBEMail).c_str());
    s.HotCount = in.int16("HotCount", 10);
    s.NavBar = in.text("NavBar", kDefaultNavBar);
    s.DisplayMemberTotal = in.flag("DisplayMemberTotal", true);
    s.PageSize = in.int16("PageSize", 20);
    s.DisplayRegistration = in.flag("DisplayRegistration", true);
    s.DisplayTopicSize = in.flag("DisplayTopicSize", true);
    s.GuestTitle = in.text("GuestTitle", "游客");
    s.SearchMilliseconds = in.int16("SearchMilliseconds", 1000);
    s.BBStyle = platform::UCase(in.text("BBSTYLE", "UBB"));

    s.PageStyle = in.isEmpty("PageStyle")
                      ? 0
                      : platform::CByte(platform::Variant(in.leadingNumber("PageStyle")));

    // Missing, the number 0 and (our choice) the empty text give the default.
    const platform::Variant minimum = in.raw("MemberMinimum");
    if (minimum == platform::Variant(0) || minimum == platform::Variant(""))
        s.MemberMinimum = 30;
    else
        s.MemberMinimum = platform::CInt(platform::Variant(in.leadingNumber("MemberMinimum")));
}

void LoadStyle(platform::Application& application, platform::Application::ReadStamp* stamp) {
    Settings& s = CurrentSettings();
    Reader in(application, s.styleFingerprint, stamp);

    s.BBTitle = in.text("BBTitle", "title.gif");
    s.BBTopic = in.text("BBTopic", "postnew.jpg");
    s.BBReply = in.text("BBReply", "reply5.jpg");
    s.Logo = in.text("Logo", "");
    s.BGColor = in.text("BGColor", "#FFFFFF");
    s.TableBorderColor = in.text("TableBorderColor", "");
    s.TableColorStrip = in.text("TableColorStrip", "#000000");
    s.TableStripTextColor = in.text("TableStripTextColor", "#ffffff");
    s.TimeColor = in.text("TimeColor", "#800080");
    s.AltColumnColor1 = in.text("AltColumnColor1", "#f7f7f7");
    s.AltColumnColor2 = in.text("AltColumnColor2", "#dedfdf");
    s.CategoryStripColor = in.text("CategoryStripColor", "#80D9D9");
    s.CategoryStripTextColor = in.text("CategoryStripTextColor", "#000000");
    s.BBTitleFontColor = in.text("BBTitleFontColor", "#000080");
    s.TableWidth = in.text("TableWidth", "95%");
    s.PageBackGround = in.text("PageBackGround", "");

    if (s.Logo.empty())
        s.Logo = "<a href=default.asp><img style=border-color:#000000 border=1 src=\"images/" +
                 s.BBTitle + "\" WIDTH=276 HEIGHT=75></a>";

    for (std::string* colour : {&s.BGColor, &s.AltColumnColor1, &s.AltColumnColor2,
                                &s.CategoryStripColor, &s.TableColorStrip})
        if (!colour->empty()) *colour = attribute("bgcolor", *colour);
    if (!s.PageBackGround.empty()) s.PageBackGround = attribute("background", "images/" + s.PageBackGround);

    if (!s.TableBorderColor.empty()) {
        s.InnerTableWidth = "100%";
        s.TableBorderOpen = "<table border=0 cellpadding=0 cellspacing=0 width=\"" + s.TableWidth +
                            "\"><TR><td bgcolor=\"" + s.TableBorderColor + "\" > ";
        s.TableBorderClose = "</td></tr></table>";
    } else {
        s.InnerTableWidth = s.TableWidth;
        s.TableBorderOpen.clear();
        s.TableBorderClose.clear();
    }
}

}  // namespace

void LoadSettings(platform::Application& application) { LoadBoardSettings(application, nullptr); }

void LoadStyleSettings(platform::Application& application) { LoadStyle(application, nullptr); }

void LoadPageSettings(platform::Application& application) {
    // What the last full load on this thread gave, kept whole: a page may
    // have changed the record since (the connection string).
    struct Kept {
        platform::Application::ReadStamp stamp;
        std::string boardAddress;
        Settings settings;
    };
    thread_local Kept kept;
    Settings& s = CurrentSettings();
    if (kept.stamp.Unchanged(application) && kept.boardAddress == BoardAddressDefault()) {
        s = kept.settings;
        return;
    }
    kept.stamp.Start(application);
    LoadBoardSettings(application, &kept.stamp);
    LoadStyle(application, &kept.stamp);
    kept.boardAddress = BoardAddressDefault();
    kept.settings = s;
    kept.stamp.Finish();
}

}  // namespace core
