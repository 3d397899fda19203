#include "site/RequestDriver.h"

#include <cstdio>
#include <cstring>
#include <ctime>

#include "platform/Charset.h"
#include "platform/Strings.h"

namespace site {

namespace {

// Reads the "expires=" date of a Set-Cookie line; none when absent.
std::optional<std::time_t> CookieExpiry(std::string_view line) {
    const std::size_t at = line.find("; expires=");
    if (at == std::string_view::npos) return std::nullopt;
    const std::string date(line.substr(at + 10, line.find(';', at + 10) - at - 10));
    static constexpr const char* kMonths = "JanFebMarAprMayJunJulAugSepOctNovDec";
    std::tm t{};
    char month[4] = {};
    if (std::sscanf(date.c_str(), "%*3s, %d %3s %d %d:%d:%d", &t.tm_mday, month, &t.tm_year, &t.tm_hour,
                    &t.tm_min, &t.tm_sec) != 6)
        return std::nullopt;
    const char* found = std::strstr(kMonths, month);
    t.tm_mon = found ? static_cast<int>(found - kMonths) / 3 : 0;
    t.tm_year -= 1900;
    return timegm(&t);
}

}  // namespace

std::string EncodeFields(const Fields& fields) {
    std::string text;
    for (const auto& [key, value] : fields) {
        if (!text.empty()) text += '&';
        text += platform::UrlEncode(key) + "=" + platform::UrlEncode(value);
    }
    return text;
}

std::string DriverResponse::header(std::string_view name) const {
    for (const auto& [key, value] : headers)
        if (platform::EqualsIgnoreCase(key, name)) return value;
    return std::string();
}

const platform::ResponseCookie* DriverResponse::cookie(std::string_view name) const {
    for (const auto& c : cookies)
        if (platform::EqualsIgnoreCase(c.Name, name)) return &c;
    return nullptr;
}

DriverResponse RequestDriver::Run(const DriverRequest& request) {
    platform::RawRequest raw;
    raw.method = request.method;
    raw.path = "/" + platform::Utf8ToGbk(request.page);
    raw.queryString = request.rawQuery ? *request.rawQuery : EncodeFields(request.query);
    raw.remoteAddr = request.remoteAddr;
    raw.headers = request.headers;
    if (request.body) {
        raw.body = *request.body;
    } else if (!request.form.empty() || request.method == "POST") {
        raw.body = EncodeFields(request.form);
        raw.headers.emplace_back("Content-Type", "application/x-www-form-urlencoded");
    }
    std::string cookieHeader;
    auto addCookie = [&cookieHeader](const std::string& pair) {
        if (!cookieHeader.empty()) cookieHeader += "; ";
        cookieHeader += pair;
    };
    if (keepCookies)
        for (const auto& [name, value] : jar) addCookie(name + "=" + value);
    for (const auto& [name, value] : request.cookies)
        addCookie(platform::UrlEncode(name) + "=" + platform::UrlEncode(value));
    if (!cookieHeader.empty()) raw.headers.emplace_back("Cookie", cookieHeader);

    HostResponse out = host_.Handle(std::move(raw));
    if (keepCookies) keep(out);

    DriverResponse response;
    response.status = out.status;
    response.contentType = out.contentType;
    response.headers = std::move(out.headers);
    response.cookies = std::move(out.cookies);
    const bool isPage = response.contentType.find("gb2312") != std::string::npos ||
                        !response.location().empty();
    response.body = isPage ? platform::GbkToUtf8(out.body) : std::move(out.body);
    return response;
}

DriverResponse RequestDriver::Get(const std::string& page, Fields query) {
    DriverRequest request;
    request.page = page;
    request.query = std::move(query);
    return Run(request);
}

DriverResponse RequestDriver::Post(const std::string& page, Fields form, Fields query) {
    DriverRequest request;
    request.method = "POST";
    request.page = page;
    request.form = std::move(form);
    request.query = std::move(query);
    return Run(request);
}

void RequestDriver::keep(const HostResponse& response) {
    for (const auto& [name, line] : response.headers) {
        if (!platform::EqualsIgnoreCase(name, "Set-Cookie")) continue;
        const std::size_t eq = line.find('=');
        if (eq == std::string::npos) continue;
        const std::string cookieName = line.substr(0, eq);
        const std::string value = line.substr(eq + 1, line.find(';') - eq - 1);
        const auto expiry = CookieExpiry(line);
        if (expiry && *expiry < std::time(nullptr))
            jar.erase(cookieName);
        else
            jar[cookieName] = value;
    }
}

}  // namespace site
