#pragma once
// The HTTP request as the page objects read it: query string, form, cookies
// and server variables, each a collection whose keys ignore letter case.
// Values arrive as GBK bytes and are kept as UTF-8 text, always valid: a
// byte sequence that is neither becomes U+FFFD.
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/Strings.h"
#include "platform/Variant.h"

namespace platform {

// One named collection. A key may carry several values (a form field sent
// more than once); a key that was never sent reads as Empty, a key sent
// with nothing after "=" reads as "".
class RequestCollection {
public:
    void Add(std::string_view key, std::string value);

    // Empty when absent; several values joined with ", ".
    Variant operator()(std::string_view key) const;
    Variant Item(std::string_view key) const { return (*this)(key); }
    bool Contains(std::string_view key) const { return find(key) != nullptr; }
    // The values of the key in the order they came; none when absent.
    const std::vector<std::string>& Values(std::string_view key) const;
    std::size_t Count(std::string_view key) const { return Values(key).size(); }
    // The keys in the order of their first appearance, as sent.
    std::vector<std::string> Keys() const;
    std::size_t Count() const { return entries_.size(); }

private:
    struct Entry {
        std::string key;
        std::vector<std::string> values;
        Variant value() const {
            return values.size() == 1 ? Variant(values.front()) : Variant(Join(values, ", "));
        }
    };
    friend class Request;
    const Entry* find(std::string_view key) const { return findFolded(LCase(key)); }
    const Entry* findFolded(const std::string& folded) const;
    std::vector<Entry> entries_;
    // Position in entries_ by folded key, so adding and finding stay cheap
    // however many fields a request carries.
    std::unordered_map<std::string, std::size_t> index_;
};

// What the host received, before decoding.
struct RawRequest {
    std::string method = "GET";
    std::string path = "/";      // percent-decoded, e.g. "/admin/forum.asp"
    std::string queryString;     // as sent, without "?"
    std::string body;            // raw bytes
    std::string remoteAddr;
    std::string serverName = "localhost";
    int serverPort = 80;
    std::vector<std::pair<std::string, std::string>> headers;  // as sent
};

class Request {
public:
    Request() = default;
    explicit Request(RawRequest raw);

    const RequestCollection& QueryString() const { return query_; }
    const RequestCollection& Form() const { return form_; }
    const RequestCollection& Cookies() const { return cookies_; }
    const RequestCollection& ServerVariables() const { return serverVariables_; }

    Variant QueryString(std::string_view key) const { return query_(key); }
    Variant Form(std::string_view key) const { return form_(key); }
    Variant Cookies(std::string_view key) const { return cookies_(key); }
    // "Remote_addr", "script_name", "request_method", "query_string",
    // "http_referer", "http_host" and "HTTP_" + every other header.
    Variant ServerVariables(std::string_view key) const { return serverVariables_(key); }

    // The first collection holding the key, in the order query string, form,
    // cookies, server variables; Empty when none does.
    Variant operator()(std::string_view key) const;
    Variant Item(std::string_view key) const { return (*this)(key); }

    // The raw body, for pages that parse it themselves.
    std::size_t TotalBytes() const { return body_.size(); }
    // The next `count` bytes of the body (fewer at its end).
    std::string BinaryRead(std::size_t count);

    // Header value as sent (first of that name, ignoring case), "" if none.
    std::string Header(std::string_view name) const;

    // A name given in the address, for a page that looks it up: `read` (the
    // value as the page read it, from GBK) when `known` finds it; otherwise
    // the query string's first `key` read as UTF-8, as browsers send what is
    // typed into the address bar, when `known` finds that; otherwise `read`.
    std::string TypedName(std::string_view key, std::string read,
                          const std::function<bool(const std::string&)>& known) const;

private:
    std::string rawQuery_;
    RequestCollection query_, form_, cookies_, serverVariables_;
    std::vector<std::pair<std::string, std::string>> headers_;
    std::string body_;
    std::size_t bodyRead_ = 0;
};

// Whether a Content-Type names a URL-encoded form.
bool IsFormContentType(std::string_view type);
// "a=1&b=%D6%D0" into a collection: percent and "+" decoded, GBK to UTF-8.
void ParseUrlEncoded(std::string_view text, RequestCollection& into);
// "a=1; b=2" into a collection; values decoded as URL-encoded GBK. The first
// of two cookies with one name wins.
void ParseCookieHeader(std::string_view header, RequestCollection& into);

}  // namespace platform
