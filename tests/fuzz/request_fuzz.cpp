// The request decoder on any bytes: every key and value the pages read is
// valid UTF-8. Input lines: path, query string, form body, cookie header,
// header name, header value.
#include "FuzzInput.h"
#include "platform/Request.h"
#include "platform/Strings.h"

namespace {

void checkCollection(const platform::RequestCollection& collection) {
    for (const std::string& key : collection.Keys()) {
        fuzz::check(platform::IsValidUtf8(key));
        for (const std::string& value : collection.Values(key)) fuzz::check(platform::IsValidUtf8(value));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto in = fuzz::parts(fuzz::text(data, size), 6);
    platform::RawRequest raw;
    raw.method = "POST";
    raw.path = std::string(in[0]);
    raw.queryString = std::string(in[1]);
    raw.body = std::string(in[2]);
    raw.headers = {{"Content-Type", "application/x-www-form-urlencoded"},
                   {"Cookie", std::string(in[3])},
                   {std::string(in[4]), std::string(in[5])}};
    const platform::Request request(std::move(raw));
    checkCollection(request.QueryString());
    checkCollection(request.Form());
    checkCollection(request.Cookies());
    checkCollection(request.ServerVariables());
    return 0;
}
