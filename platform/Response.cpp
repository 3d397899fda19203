#include "platform/Response.h"

#include "platform/Error.h"
#include "platform/Strings.h"

namespace platform {

Response::Response() { body_.reserve(16 * 1024); }

void Response::Write(const Variant& value) {
    if (value.isString())
        body_.append(value.rawString());
    else
        body_.append(value.str());
}

void Response::Redirect(std::string_view url) {
    body_.clear();
    status_ = 302;
    redirect_ = url;
}

ResponseCookie& Response::Cookies(std::string_view name) {
    for (ResponseCookie& cookie : cookies_)
        if (EqualsIgnoreCase(cookie.Name, name)) return cookie;
    cookies_.push_back(ResponseCookie{std::string(name), std::string(), std::nullopt});
    return cookies_.back();
}

void Response::SetCookie(std::string_view name, const Variant& value) {
    Cookies(name).Value = value.str();
}

void Response::CookieExpires(std::string_view name, DateTime when) {
    Cookies(name).Expires = when;
}

void Response::AddHeader(std::string_view name, std::string_view value) {
    // A line break would end the header and let the rest forge others.
    if (name.find_first_of("\r\n") != std::string_view::npos ||
        value.find_first_of("\r\n") != std::string_view::npos)
        raise(kErrInvalidCall);
    headers_.emplace_back(std::string(name), std::string(value));
}

}  // namespace platform
