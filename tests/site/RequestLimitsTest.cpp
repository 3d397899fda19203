// Requests over the host's size limits are refused with a 4xx before any
// page runs; requests within them reach the page whole.
#include <gtest/gtest.h>

#include <string>

#include "site/RequestDriver.h"
#include "site/TestPages.h"

namespace {

site::HostOptions SmallLimits() {
    site::HostOptions options;
    options.limits.headBytes = 4000;
    options.limits.headerLines = 20;
    options.limits.fields = 10;
    options.limits.fieldBytes = 100;
    options.limits.bodyBytes = 1000;
    return options;
}

site::Fields Numbered(int count, const std::string& value = "v") {
    site::Fields fields;
    for (int i = 0; i < count; ++i) fields.emplace_back("f" + std::to_string(i), value);
    return fields;
}

site::DriverRequest Post(const std::string& page, site::Fields form, site::Fields query = {}) {
    site::DriverRequest request;
    request.method = "POST";
    request.page = page;
    request.form = std::move(form);
    request.query = std::move(query);
    return request;
}

site::DriverRequest Raw(const std::string& page, std::string body) {
    site::DriverRequest request;
    request.method = "POST";
    request.page = page;
    request.body = std::move(body);
    return request;
}

site::DriverRequest WithHeaders(site::Fields headers) {
    site::DriverRequest request;
    request.page = "echo.asp";
    request.headers = std::move(headers);
    return request;
}

TEST(RequestLimits, OverALimitIsRefusedBeforeThePageRuns) {
    site::BoardHost host(SmallLimits());
    site_test::RegisterTestPages(host.router());
    // The upload page of the control panel takes a larger body of its own.
    host.router().setBodyLimit("Body.asp", 5000);
    site::RequestDriver driver(host);
    driver.keepCookies = false;

    struct Case {
        const char* what;
        site::DriverRequest request;
        int status;
    } cases[] = {
        {"fields at the limit", Post("echo.asp", Numbered(5), Numbered(5)), 200},
        {"a field at its length", Post("echo.asp", Numbered(1, std::string(97, 'x'))), 200},
        {"query fields over", Post("echo.asp", {}, Numbered(11)), 414},
        {"a long query field", Post("echo.asp", {}, Numbered(1, std::string(100, 'q'))), 414},
        {"query and form fields together over", Post("echo.asp", Numbered(6), Numbered(5)), 413},
        {"a long form field", Post("echo.asp", Numbered(1, std::string(100, 'q'))), 413},
        {"a body over the default", Raw("echo.asp", std::string(1001, 'b')), 413},
        {"a body within the page's own limit", Raw("body.asp", std::string(4000, 'b')), 200},
        {"a body over the page's own limit", Raw("BODY.ASP", std::string(5001, 'b')), 413},
        {"too many header lines", WithHeaders(Numbered(21)), 431},
        {"an oversized header", WithHeaders({{"X-Big", std::string(4000, 'h')}}), 431},
        {"a hundred thousand fields", Post("echo.asp", Numbered(100000)), 413},
    };
    for (const Case& c : cases) {
        const site::DriverResponse r = driver.Run(c.request);
        EXPECT_EQ(r.status, c.status) << c.what;
        if (c.status != 200) {
            EXPECT_NE(r.body.find(std::to_string(c.status)), std::string::npos) << c.what;
        }
    }
}

// The forms that post a message's text take larger bodies than the other
// pages, and the upload the largest.
TEST(RequestLimits, PostingFormsTakeLargerBodiesThanOtherPages) {
    const site::BoardHost host;
    const std::size_t others = site::RequestLimits().bodyBytes;
    for (const char* page : {"/profile.asp", "/signup.asp", "/ubbmisc.asp", "/admin/forum.asp"})
        EXPECT_EQ(host.BodyLimit(page), others) << page;
    for (const char* page : {"/posting.asp", "/pm.asp", "/admin/edit.asp", "/admin/announce.asp", "/admin/mail.asp",
                             "/admin/broadcast.asp"}) {
        EXPECT_GE(host.BodyLimit(page), 2u << 20) << page;
        EXPECT_LT(host.BodyLimit(page), host.BodyLimit("/admin/upload.asp")) << page;
    }
    EXPECT_LT(others, 1u << 20);
}

}  // namespace
