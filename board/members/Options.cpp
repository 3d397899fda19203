// Personal options (option.asp): whether the login stays in cookies, and
// the topic list's default day filter. Kept only in the visitor's cookies.
#include <cstdint>
#include <string>

#include "board/visits/LastVisit.h"
#include "board/members/DayFilters.h"
#include "board/members/MemberPages.h"
#include "core/PageFrame.h"
#include "core/Settings.h"

namespace board {

namespace {

// The day filter the form shows: the cookie's, made non-negative, or the
// default when the cookie holds no day filter.
std::int16_t ShownDayFilter(const platform::Variant& cookie) {
    const std::int16_t fallback = core::CurrentSettings().DaysPruneDefault;
    const std::int16_t days = ReadDayFilter(cookie).value_or(fallback);
    if (days == INT16_MIN) return fallback;
    return static_cast<std::int16_t>(days < 0 ? -days : days);
}

}  // namespace

void MemberPages::TarnbellOption() {
    RunPage(core::Closing::Nothing, [&](core::Page& p) {
        const core::Settings& s = core::CurrentSettings();
        const platform::Request& in = Request();
        platform::Response& out = Response();
        StartPage(p, {"选项", "选项设置 - " + s.BBName, "<center>",
                      "<table border=0 width=" + s.TableWidth + "><tr><td>" + s.Logo + "</td>"
                      "<td><center><font color=" + s.BBTitleFontColor + "><p><b>论坛选项</b></p></font></center></td>"
                      "</tr></table>"});

        if (in.ServerVariables("request_method").str() == "POST") {
            const auto& storage = in.Form().Values("NameStorage");
            const std::string choice = storage.empty() ? std::string() : storage.front();
            if (choice == "yes") {
                SetYearCookie(out, "NameStorage", "yes");
            } else if (choice == "no") {
                SetYearCookie(out, "NameStorage", "no");
                DeleteCookie(out, "UserName");
                DeleteCookie(out, "Password");
            }
            // Stored as posted; no field stores 0, a value that is no day
            // filter the default.
            const std::int16_t days = in.Form().Contains("DaysPrune")
                                          ? ReadDayFilter(in.Form("DaysPrune")).value_or(s.DaysPruneDefault)
                                          : 0;
            SetYearCookie(out, "DaysPrune", std::to_string(days));
        }

        // The form shows what the request's cookies said.
        const std::int16_t days = ShownDayFilter(in.Cookies("DaysPrune"));
        const bool storeName = in.Cookies("NameStorage").str() != "no";

        out.Write("<table border=0 width=" + s.TableWidth + "><TBODY><tr>"
                  "<td><b>您可以通过定制选项来表现论坛。目前，您有两个选项可以设置。 </b><ul>"
                  "<li>一项存储一年您的用户名和密码(在这一年里您可以不必每次重复填写您的用户名或密码)."
                  "如果您选不,则您每次进入论坛都要至少填写一次。<br></li>"
                  "<li>默认浏览前多少天内的主题。      </li></ul></td></tr></TBODY></table>");
        out.Write("<form ACTION=option.asp METHOD=POST NAME=PREFS>"
                  "<input type=hidden name=action value=PrefsSubmit>"
                  "<table border=0 width=" + s.TableWidth + ">"
                  "<tr " + s.AltColumnColor1 + "><td vAlign=top><b>一年内在浏览器缓存中储存你的用户名和密码。"
                  "（否则您每次进入论坛都要至少填写一次)</b></td><td vAlign=top>"
                  "<p><input name=NameStorage type=radio value=yes " + (storeName ? "checked" : "") +
                  "> yes <input name=NameStorage type=radio  value=no " + (storeName ? "" : "checked") +
                  "> no</td></tr>"
                  "<tr " + s.AltColumnColor2 + "><td vAlign=top><b>默认主题浏览:</b></td>"
                  "<td vAlign=top><p><select name=DaysPrune size=1 class=smallSel>" +
                  DayFilterOptions(days, "显示所有的的贴子", "</option>") + "</select> </td></tr>"
                  "</table><p><input name=Submit type=submit value=提交选择 class=buttonface> "
                  "<input name=Reset type=submit class=buttonface  value=选择重置></p></form>");
        out.Write("<table border=0 width=" + s.TableWidth + "><tr " + s.AltColumnColor1 + "><td>"
                  "<b>注意：您的选项作为cookies被存在您的浏览器里，请选用支持cookie的浏览器（如NETSCAPE和IE）"
                  "如果您的浏览器不支持cookie或您将它关闭，那么如上设置无效。请注意您的密码设置有效期为一年."
                  "</b></td></tr></table>");
        out.Write("</center>" + s.Copyright + "</BODY></HTML>");
    });
}

}  // namespace board
