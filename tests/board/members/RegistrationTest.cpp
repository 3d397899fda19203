// Registration: the rules page and the form, the checks in their order, the
// stored row, the cookies, and the password mail.
#include <atomic>
#include <thread>
#include <vector>

#include "AllMailSendsTaken.h"
#include "MembersTest.h"

namespace {

using browse_test::Has;
using site::Fields;

const char* const kBadName = "用户名输入错误，请检查！用户名允许输入中文、英文字母、数字，最大长度为15！";
const char* const kNoPassword = "口令不能为空，请输入您的口令！";
const char* const kPasswordsDiffer = "两口令输入不符，请重新检查您输入的口令。";
const char* const kNoAddress = "你必须输入一个Email地址！按浏览器的后退按钮可重新处理！";
const char* const kBadAddress = "你输入的Email地址不合法，请重新输入！按浏览器的后退按钮可重新处理！";
const char* const kAddressTaken = "您输入的 EMail 已经有人使用，论坛规定一个 EMail 只能注册一次";
const char* const kNameTaken = "用户名称同已有用户重复，请使用其它名称！按浏览器的后退按钮可重新处理！";

class RegistrationTest : public MembersTest {
protected:
    RegistrationTest() {
        AddMemberWithMail("OldHand", "secret", "old@example.com");
        Set("EMailRegister", false);
    }
};

TEST_F(RegistrationTest, RulesAndFormFollowTheSettings) {
    Set("BBRules", "<ol><li>友善</li></ol>");
    const std::string rules = Get("signup.asp").body;
    EXPECT_TRUE(Has(rules, "<title>用户注册 - 清风论坛</title>")) << rules;
    EXPECT_TRUE(Has(rules, "<font class=bbtitle>清风论坛 用户注册</font></td></tr></table>"
                           "<form NAME=Register METHOD=POST ACTION=Signup.asp>"));
    EXPECT_TRUE(Has(rules, "><td><ol><li>友善</li></ol></td></tr></table>"));
    EXPECT_TRUE(Has(rules, "<input TYPE=HIDDEN NAME=action VALUE=Agree ><input TYPE=SUBMIT NAME=Submit VALUE='同意' "
                           "class=buttonface><input TYPE=Submit NAME=Submit VALUE='不同意' class=buttonface>"
                           "</form></center>"));
    EXPECT_TRUE(Has(rules, "感谢每一位参与讨论的朋友</font></p></body></html>"));

    struct Case {
        bool mailed;
        int daysDefault;
        const char* selected;  // the option marked, or none
    };
    for (const Case& c : {Case{false, 5, "<option value=5 selected>显示前五天的贴子"},
                          Case{true, 0, "<option value=0 selected>显示所有的贴子"}, Case{true, 7, nullptr}}) {
        Set("EMailRegister", c.mailed);
        Set("DaysPruneDefault", c.daysDefault);
        const std::string form = Post("signup.asp", {{"action", "Agree"}, {"Submit", "同意"}}).body;
        EXPECT_EQ(Has(form, "NAME=password SIZE=13 MAXLENGTH=13"), !c.mailed) << form;
        EXPECT_EQ(Has(form, "NAME=password2"), !c.mailed);
        EXPECT_EQ(Has(form, "我们将根据你提供的邮件地址把注册密码发送给你"), c.mailed);
        EXPECT_EQ(Has(form, "为了便于其他成员和您联系"), !c.mailed);
        EXPECT_EQ(browse_test::Count(form, " selected>"), c.selected ? 1u : 0u);
        if (c.selected) {
            EXPECT_TRUE(Has(form, c.selected));
        }
        EXPECT_TRUE(Has(form, "<option value=100 >显示前一百天的贴子<option value=365 >"));
        EXPECT_TRUE(Has(form, "<input TYPE=HIDDEN NAME=action VALUE=RegSubmit >"));
    }

    Set("BBStyle", "CLUB");
    EXPECT_FALSE(Has(Get("signup.asp").body, "<font class=bbtitle>"));
}

TEST_F(RegistrationTest, SignupPageDispatchesOnTheActionIgnoringCase) {
    EXPECT_TRUE(Has(Post("signup.asp", {{"action", "AGREE"}, {"Submit", "同意"}}).body, "VALUE=RegSubmit"));
    // "不同意" leaves for the board home.
    const site::DriverResponse declined = Post("signup.asp", {{"action", "Agree"}, {"Submit", "不同意"}});
    EXPECT_EQ(declined.status, 302);
    EXPECT_EQ(declined.location(), "default.asp");
    EXPECT_EQ(Get("signup.asp", {{"action", "nothing"}}).status, 404);
}

TEST_F(RegistrationTest, ChecksRunInTheirOrderAndRefuseBeforeAnyWrite) {
    struct Case {
        bool mailed, checkAddress;
        Fields form;
        const char* message;  // null: registered
    };
    const Case cases[] = {
        {false, true, {{"UserName", "  "}}, kBadName},
        {false, true, {{"UserName", "abcdefghijklmnop"}}, kBadName},
        {false, true, {{"UserName", "a_b"}, {"password", ""}}, kBadName},
        {false, true, {{"UserName", "a-b"}}, kBadName},
        {false, true, {{"password", ""}, {"Email", ""}}, kNoPassword},
        {false, true, {{"password2", "pw124"}, {"Email", ""}}, kPasswordsDiffer},
        {true, true, {{"password", ""}, {"Email", ""}}, kNoAddress},
        {false, true, {{"Email", "new@example"}}, kBadAddress},
        {false, true, {{"Email", "new.example.com"}}, kBadAddress},
        {false, true, {{"Email", "OLD@example.com"}, {"UserName", "oldhand"}}, kAddressTaken},
        {false, true, {{"UserName", "OLDHAND"}}, kNameTaken},
        {true, false, {{"UserName", "oldHand"}, {"Email", "old@example.com"}}, kNameTaken},
        {false, false, {{"Email", "old@example.com"}}, nullptr},
        {false, true, {{"UserName", "十五个汉字的名字一二三四五六七"}, {"Email", "@."}}, nullptr},
    };
    for (const Case& c : cases) {
        Set("EMailRegister", c.mailed);
        Set("EMailCheck", c.checkAddress);
        const long before = Members();
        driver.jar.clear();
        const site::DriverResponse page = Register(c.form);
        const std::string context = c.form.front().first + "=" + c.form.front().second;
        if (c.message) {
            EXPECT_TRUE(Has(page.body, c.message)) << context << "\n" << page.body;
            EXPECT_TRUE(page.body.ends_with("</body></html>")) << context;
            EXPECT_EQ(Members(), before) << context;
            EXPECT_TRUE(page.cookies.empty()) << context;
        } else {
            EXPECT_TRUE(Has(page.body, "注册，以下是您的注册信息！")) << context << "\n" << page.body;
            // It shows the chosen password.
            EXPECT_EQ(page.header("Cache-Control"), "no-store") << context;
            EXPECT_EQ(Members(), before + 1) << context;
            db.con.Execute("delete from register where username<>'OldHand'");
        }
    }
    EXPECT_TRUE(sink.Mails().empty());
}

TEST_F(RegistrationTest, StoresTheFormAndShowsItEncoded) {
    const site::DriverResponse page =
        Register({{"UserName", "  新会员 "}, {"Location", "<b>杭州</b>"}, {"Signature", std::string(300, 's')},
                  {"URL", "http://x.test/?a=1&b=\"2\""}, {"EmailView", "no"}, {"AllowMassMail", "YES"}});
    EXPECT_TRUE(Has(page.body, "<title>用户注册</title>")) << page.body;
    EXPECT_TRUE(Has(page.body, "> 新会员 您好,您已经成功在 清风论坛 注册，以下是您的注册信息！<table"));
    EXPECT_TRUE(Has(page.body, "<td><b>口令:</b></td><td>pw123</td></tr>"));
    EXPECT_TRUE(Has(page.body, "<td><b>来自:</b></td><td>&lt;b&gt;杭州&lt;/b&gt;</td></tr>"));
    EXPECT_TRUE(Has(page.body, "<td>http://x.test/?a=1&amp;b=&quot;2&quot;</td>"));
    EXPECT_TRUE(Has(page.body, "<td>" + std::string(255, 's') + "</td></tr></table>"));
    EXPECT_TRUE(Has(page.body, "按<a href=default.asp>此进入 清风论坛</a></body></html>"));
    EXPECT_FALSE(Has(page.body, "<b>杭州"));

    EXPECT_EQ(Column("新会员", "username"), "新会员");
    EXPECT_EQ(Column("新会员", "password"), "pw123");
    EXPECT_EQ(Column("新会员", "location"), "<b>杭州</b>");
    EXPECT_EQ(Column("新会员", "signature"), std::string(255, 's'));
    EXPECT_EQ(Column("新会员", "daysprune"), "10");
    EXPECT_EQ(Column("新会员", "emailview"), "False");
    EXPECT_EQ(Column("新会员", "allowmassmail"), "False");
    EXPECT_EQ(Column("新会员", "canpost"), "True");
    EXPECT_EQ(Column("新会员", "postcount"), "0");

    // The home page preset and blanks store no address; anything else as posted.
    const std::pair<const char*, const char*> urls[] = {
        {"http://", "<null>"}, {"HTTP://", "<null>"}, {"http:///", "<null>"}, {"   ", "<null>"},
        {" http://", " http://"},
    };
    int n = 0;
    for (const auto& [url, stored] : urls) {
        const std::string name = "u" + std::to_string(++n);
        Register({{"UserName", name}, {"Email", name + "@example.com"}, {"URL", url}});
        EXPECT_EQ(Column(name, "url"), stored) << url;
    }
}

TEST_F(RegistrationTest, DayFilterOfTheFormOrTheDefault) {
    Set("DaysPruneDefault", 20);
    const std::pair<const char*, const char*> cases[] = {
        {"365", "365"}, {"-10", "-10"}, {"abc", "20"}, {"", "20"}, {"99999", "20"},
    };
    int n = 0;
    for (const auto& [posted, stored] : cases) {
        const std::string name = "d" + std::to_string(++n);
        const site::DriverResponse page = Register({{"UserName", name}, {"Email", name + "@example.com"},
                                                    {"DaysPrune", posted}});
        EXPECT_EQ(Column(name, "daysprune"), stored) << posted << page.body;
        EXPECT_EQ(CookieState(page, "DaysPrune"), stored) << posted;
    }
    Fields form = RegistrationForm({{"UserName", "nofilter"}, {"Email", "nofilter@example.com"}});
    std::erase_if(form, [](const auto& f) { return f.first == "DaysPrune"; });
    Post("signup.asp", form);
    EXPECT_EQ(Column("nofilter", "daysprune"), "0");
}

TEST_F(RegistrationTest, CookiesFollowNameStorageAndTheMailedPassword) {
    Set("SubmitInterval", -1);  // the password goes to one address again and again
    struct Case {
        bool mailed;
        const char* storage;
        const char *nameStorage, *userName, *password, *daysPrune;
    };
    const Case cases[] = {
        {false, "yes", "yes", "新会员", "pw123", "10"},
        {true, "yes", "yes", "新会员", "<deleted>", "10"},
        {false, "no", "no", "<unset>", "<unset>", "<unset>"},
        {true, "Yes", "no", "<unset>", "<unset>", "<unset>"},
    };
    for (const Case& c : cases) {
        Set("EMailRegister", c.mailed);
        db.con.Execute("delete from register where username='新会员'");
        const site::DriverResponse page = Register({{"NameStorage", c.storage}});
        const std::string context = std::string(c.mailed ? "mailed, " : "typed, ") + c.storage;
        EXPECT_EQ(CookieState(page, "NameStorage"), c.nameStorage) << context << page.body;
        EXPECT_EQ(CookieState(page, "UserName"), c.userName) << context;
        EXPECT_EQ(CookieState(page, "Password"), c.password) << context;
        EXPECT_EQ(CookieState(page, "DaysPrune"), c.daysPrune) << context;
        EXPECT_TRUE(platform::IsDate(CookieState(page, "lastLoginDT"))) << context;
        for (const auto& [name, line] : page.headers)
            if (name == "Set-Cookie") {
                EXPECT_TRUE(Has(line, "; HttpOnly; SameSite=Lax")) << line;
            }
    }
}

TEST_F(RegistrationTest, MailedPasswordIsTheStoredOne) {
    Set("EMailRegister", true);
    const site::DriverResponse page = Register({{"password", "ignored"}, {"password2", "other"}});
    EXPECT_TRUE(Has(page.body, "新会员 您好，您已经成功在 清风论坛 注册！请按电子邮件中的您的用户信息登陆 清风论坛"))
        << page.body;
    const std::string password = Column("新会员", "password");
    ASSERT_EQ(password.size(), 6u);
    EXPECT_FALSE(Has(page.body, password));

    const auto mails = sink.Mails();
    ASSERT_EQ(mails.size(), 1u);
    EXPECT_EQ(mails[0].rcptTo, std::vector<std::string>{"new@example.com"});
    EXPECT_EQ(mails[0].mailFrom, "board@example.com");
    EXPECT_TRUE(Has(MailText(mails[0]), "这是您在清风论坛注册的用户名和口令:<br>用户名：新会员<br>口令：" + password +
                                            "<br>你可通过如下地址:<a href=http://board.test/>清风论坛</a>"
                                            "更改您的缺省口令！"))
        << MailText(mails[0]);
}

TEST_F(RegistrationTest, FailedMailLeavesNoMember) {
    Set("EMailRegister", true);
    sink.Refuse("RCPT", "550 5.1.1 No such mailbox");
    const site::DriverResponse refused = Register();
    EXPECT_TRUE(Has(refused.body, "对不起，新会员，由于如下错误，你不能成功的注册:")) << refused.body;
    EXPECT_TRUE(Has(refused.body, "No such mailbox"));
    EXPECT_EQ(Column("新会员", "username"), "<none>");
    EXPECT_TRUE(refused.cookies.empty());

    Set("SmtpServer", testing_smtp::SmtpSink::DeadAddress());
    Set("SubmitInterval", -1);  // a second mail to the address at once
    EXPECT_TRUE(Has(Register().body, "你不能成功的注册:"));
    EXPECT_EQ(Column("新会员", "username"), "<none>");
}

// With every send taken, the page answers at once and stores nothing: no
// member, and the visitor's repeat slot unspent.
TEST_F(RegistrationTest, BusyMailServerLeavesNoMember) {
    Set("EMailRegister", true);
    {
        const AllMailSendsTaken busy;
        const std::string refused = Register({}, "10.7.3.1").body;
        EXPECT_TRUE(Has(refused, "邮件服务器正忙，邮件没有发送，请稍后再试！")) << refused;
        EXPECT_EQ(Column("新会员", "username"), "<none>");
        EXPECT_TRUE(sink.Mails().empty());
    }
    EXPECT_TRUE(Has(Register({}, "10.7.3.1").body, "您已经成功在 清风论坛 注册"));
}

TEST_F(RegistrationTest, MailedPasswordWithinTheIntervalIsRefusedStoringAndMailingNothing) {
    Set("EMailRegister", true);
    Set("EMailCheck", false);
    ASSERT_TRUE(Has(Register({}, "10.7.0.1").body, "您已经成功在 清风论坛 注册"));
    driver.jar.clear();  // a new session
    const std::string body = Register({{"UserName", "third"}, {"Email", "NEW@example.com"}}, "10.7.0.2").body;
    EXPECT_TRUE(Has(body, "论坛开启了重复递交检查功能，如果你在 60 秒内发送第二封邮件被视为重复提交")) << body;
    EXPECT_EQ(Members(), 2);
    EXPECT_EQ(sink.Mails().size(), 1u);
    driver.jar.clear();  // another newcomer beside the first
    EXPECT_TRUE(Has(Register({{"UserName", "second"}, {"Email", "second@example.com"}}, "10.7.0.1").body,
                    "您已经成功在 清风论坛 注册"));
}

TEST_F(RegistrationTest, AClientAddressRegistersFiveMembersAnHour) {
    const char* const kRegistered = "以下是您的注册信息";
    const char* const kRefused = "对不起，同一个IP地址在一小时内最多只能注册5个用户，请稍后再试！";
    // An IPv6 client counts by its /64, an IPv4-mapped address as its IPv4
    // address.
    const struct {
        const char* name;
        const char* from;
        const char* answer;
    } steps[] = {
        {"r1", "10.7.1.1", kRegistered},         {"r2", "::ffff:10.7.1.1", kRegistered},
        {"r3", "10.7.1.1", kRegistered},         {"r4", "10.7.1.1", kRegistered},
        {"r5", "::ffff:10.7.1.1", kRegistered},  {"r6", "10.7.1.1", kRefused},
        {"r6", "2001:db8:7:1::1", kRegistered},  {"r7", "2001:db8:7:1::2", kRegistered},
        {"r8", "2001:db8:7:1:ff::3", kRegistered}, {"r9", "2001:db8:7:1::4", kRegistered},
        {"r10", "2001:db8:7:1::5", kRegistered}, {"r11", "2001:db8:7:1::6", kRefused},
        {"r11", "10.7.1.2", kRegistered},
    };
    for (const auto& s : steps) {
        const std::string body = Register({{"UserName", s.name}, {"Email", s.name + std::string("@example.com")}},
                                          s.from).body;
        EXPECT_TRUE(Has(body, s.answer)) << s.name << " from " << s.from << "\n" << body;
    }
    EXPECT_EQ(Column("r6", "username"), "r6");
    EXPECT_EQ(Members(), 12);
}

TEST_F(RegistrationTest, RacingRegistrationsOfOneNameOrAddressMakeOneMember) {
    struct Race {
        const char* what;
        bool sameName;
    };
    for (const Race race : {Race{"name", true}, Race{"address", false}}) {
        db.con.Execute("delete from register where username<>'OldHand'");
        constexpr int kRacers = 6;
        std::atomic<int> registered{0}, taken{0};
        std::vector<std::thread> racers;
        for (int i = 0; i < kRacers; ++i)
            racers.emplace_back([&, i] {
                site::RequestDriver own(host);
                own.keepCookies = false;
                const std::string n = std::to_string(i);
                site::DriverRequest request;
                request.method = "POST";
                request.page = "signup.asp";
                request.form = RegistrationForm({{"UserName", race.sameName ? "racer" : "racer" + n},
                                                 {"Email", race.sameName ? n + "@example.com" : "same@example.com"}});
                const std::string body = own.Run(request).body;
                if (Has(body, "以下是您的注册信息")) ++registered;
                if (Has(body, race.sameName ? kNameTaken : kAddressTaken)) ++taken;
            });
        for (std::thread& t : racers) t.join();
        EXPECT_EQ(registered, 1) << race.what;
        EXPECT_EQ(taken, kRacers - 1) << race.what;
        EXPECT_EQ(Members(), 2) << race.what;
    }
}

}  // namespace
