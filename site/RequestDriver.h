#pragma once
// Runs requests through the board host in-process, as a browser would send
// them (values GBK percent-encoded) but without a socket. Keeps the cookies
// the pages set, as a browser does, unless `keepCookies` is off.
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/Response.h"
#include "site/BoardHost.h"

namespace site {

using Fields = std::vector<std::pair<std::string, std::string>>;

struct DriverRequest {
    std::string method = "GET";
    std::string page;          // "list.asp", "admin/forum.asp"
    Fields query;              // UTF-8 text, encoded on the way
    std::optional<std::string> rawQuery;  // sent as it stands instead of `query`
    Fields form;               // sent as application/x-www-form-urlencoded
    Fields cookies;            // beside the kept ones
    std::string remoteAddr = "127.0.0.1";
    Fields headers;
    std::optional<std::string> body;  // raw body instead of `form`
};

struct DriverResponse {
    int status = 0;
    std::string contentType;
    Fields headers;
    std::vector<platform::ResponseCookie> cookies;  // as the page set them
    std::string body;                               // decoded to UTF-8

    std::string header(std::string_view name) const;      // "" when absent
    const platform::ResponseCookie* cookie(std::string_view name) const;
    std::string location() const { return header("Location"); }
};

class RequestDriver {
public:
    explicit RequestDriver(BoardHost& host) : host_(host) {}

    DriverResponse Run(const DriverRequest& request);
    DriverResponse Get(const std::string& page, Fields query = {});
    DriverResponse Post(const std::string& page, Fields form, Fields query = {});

    bool keepCookies = true;
    // The kept cookies, name to value in their escaped wire form.
    std::map<std::string, std::string> jar;

private:
    void keep(const HostResponse& response);
    BoardHost& host_;
};

// "a=1&b=%D6%D0": each key and value URL-encoded on its GBK bytes.
std::string EncodeFields(const Fields& fields);

}  // namespace site
