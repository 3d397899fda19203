#include "platform/Response.h"

#include "platform/Charset.h"
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

void Response::Write(const std::shared_ptr<const EncodedText>& text) {
    if (text->encoded && !text->text.empty()) encoded_.push_back({body_.size(), text});
    body_.append(text->text);
}

EncodedText EncodeForWire(std::string text) {
    EncodedText encoded;
    encoded.encoded = IsValidUtf8(text);
    if (encoded.encoded) encoded.wire = Utf8ToGbk(text);
    encoded.text = std::move(text);
    return encoded;
}

std::shared_ptr<const EncodedText> ShareForWire(std::string text) {
    return std::make_shared<const EncodedText>(EncodeForWire(std::move(text)));
}

// The conversion reads runs of characters between ASCII bytes, so a
// well-formed part between ASCII bytes (or the body's ends) converts alone
// to what it gives within the whole; any other part is converted with its
// neighbours.
std::string Response::WireBody() const {
    const auto asciiAt = [&](std::size_t i) { return i >= body_.size() || static_cast<unsigned char>(body_[i]) < 0x80; };
    std::string wire;
    wire.reserve(body_.size());
    std::size_t done = 0;
    for (const EncodedPart& part : encoded_) {
        const std::size_t end = part.offset + part.text->text.size();
        if ((part.offset > 0 && !asciiAt(part.offset - 1)) || !asciiAt(end)) continue;
        AppendUtf8AsGbk(std::string_view(body_).substr(done, part.offset - done), wire);
        wire += part.text->wire;
        done = end;
    }
    AppendUtf8AsGbk(std::string_view(body_).substr(done), wire);
    return wire;
}

std::shared_ptr<const EncodedText> Response::BodyForWire() const {
    EncodedText encoded;
    encoded.encoded = IsValidUtf8(body_);
    if (encoded.encoded) encoded.wire = WireBody();
    encoded.text = body_;
    return std::make_shared<const EncodedText>(std::move(encoded));
}

void Response::Redirect(std::string_view url) {
    body_.clear();
    encoded_.clear();
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
