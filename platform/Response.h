#pragma once
// The response of one page: a buffered body, cookies and headers. Nothing is
// sent before the page method returns, so cookies may be set after writing.
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/Variant.h"

namespace platform {

// A cookie to set. Names ignore letter case; the value is kept as text and
// escaped on the wire so that it reads back exactly.
struct ResponseCookie {
    std::string Name;
    std::string Value;
    std::optional<DateTime> Expires;  // none: ends with the browser session
};

// A text kept with its wire form (GBK), made once: texts written again and
// again, such as a post's HTML, are not converted on every page.
struct EncodedText {
    std::string text;
    std::string wire;
    bool encoded = false;  // false: the text is not well-formed, so the host converts it as ever
    // The memory both forms take, for caches that count what they keep.
    std::size_t Bytes() const { return text.size() + wire.size(); }
};
EncodedText EncodeForWire(std::string text);
// The same, shared: texts kept to be written by many pages.
std::shared_ptr<const EncodedText> ShareForWire(std::string text);

class Response {
public:
    Response();

    void Write(std::string_view text) { body_.append(text); }
    void Write(const std::string& text) { body_.append(text); }
    void Write(const char* text) { body_.append(text); }
    void Write(const Variant& value);
    void Write(const std::shared_ptr<const EncodedText>& text);

    // Discards the body written so far; cookies and headers stay.
    void Clear() {
        body_.clear();
        encoded_.clear();
    }
    // 302 to `url`; the body is discarded.
    void Redirect(std::string_view url);

    // The cookie of that name (created when new), for setting Value and
    // Expires; a date in the past deletes it in the browser.
    ResponseCookie& Cookies(std::string_view name);
    void SetCookie(std::string_view name, const Variant& value);
    void CookieExpires(std::string_view name, DateTime when);

    // The page expires at once (no caching by browser or proxy).
    void ExpiresImmediately() { expiresImmediately_ = true; }
    void AddHeader(std::string_view name, std::string_view value);
    void SetStatus(int status) { status_ = status; }
    void SetContentType(std::string_view type) { contentType_ = type; }

    // For the host.
    const std::string& Body() const { return body_; }
    // The body in GBK, as the wire takes it.
    std::string WireBody() const;
    // The body with its wire form, to be written into other pages (a part
    // of a page built once); its kept parts need no converting again.
    std::shared_ptr<const EncodedText> BodyForWire() const;
    int Status() const { return status_; }
    const std::string& RedirectLocation() const { return redirect_; }
    const std::string& ContentType() const { return contentType_; }
    bool IsExpiringImmediately() const { return expiresImmediately_; }
    const std::vector<ResponseCookie>& CookieList() const { return cookies_; }
    const std::vector<std::pair<std::string, std::string>>& Headers() const { return headers_; }

private:
    std::string body_;
    struct EncodedPart {
        std::size_t offset;  // in body_
        std::shared_ptr<const EncodedText> text;
    };
    std::vector<EncodedPart> encoded_;
    int status_ = 200;
    std::string redirect_;
    std::string contentType_ = "text/html";
    bool expiresImmediately_ = false;
    std::vector<ResponseCookie> cookies_;
    std::vector<std::pair<std::string, std::string>> headers_;
};

}  // namespace platform
