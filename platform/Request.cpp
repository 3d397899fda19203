#include "platform/Request.h"

#include <algorithm>
#include <cctype>
#include <functional>
#include <optional>

#include "platform/Charset.h"
#include "platform/Strings.h"

namespace platform {

namespace {

const std::vector<std::string> kNoValues;

// "User-Agent" -> "HTTP_USER_AGENT"
std::string HeaderVariableName(std::string_view header) {
    std::string name = "HTTP_";
    for (char c : header) name += c == '-' ? '_' : static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return name;
}

std::string_view TrimBlanks(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

}  // namespace

void RequestCollection::Add(std::string_view key, std::string value) {
    std::string folded = LCase(key);
    const auto [at, added] = index_.try_emplace(folded, entries_.size());
    if (!added) {
        entries_[at->second].values.push_back(std::move(value));
        return;
    }
    entries_.push_back(Entry{std::string(key), {std::move(value)}});
}

const RequestCollection::Entry* RequestCollection::findFolded(const std::string& folded) const {
    const auto at = index_.find(folded);
    return at == index_.end() ? nullptr : &entries_[at->second];
}

Variant RequestCollection::operator()(std::string_view key) const {
    const Entry* e = find(key);
    if (!e) return Variant();
    return e->value();
}

const std::vector<std::string>& RequestCollection::Values(std::string_view key) const {
    const Entry* e = find(key);
    return e ? e->values : kNoValues;
}

std::vector<std::string> RequestCollection::Keys() const {
    std::vector<std::string> keys;
    keys.reserve(entries_.size());
    for (const Entry& e : entries_) keys.push_back(e.key);
    return keys;
}

bool IsFormContentType(std::string_view type) {
    constexpr std::string_view kForm = "application/x-www-form-urlencoded";
    return type.size() >= kForm.size() && EqualsIgnoreCase(type.substr(0, kForm.size()), kForm);
}

namespace {

// Calls `each` with the still encoded key and value of every "key=value"
// pair of `text`, in order, until it returns false.
void ForEachEncodedPair(std::string_view text,
                        const std::function<bool(std::string_view, std::string_view)>& each) {
    while (!text.empty()) {
        const std::size_t amp = text.find('&');
        const std::string_view pair = text.substr(0, amp);
        text = amp == std::string_view::npos ? std::string_view() : text.substr(amp + 1);
        if (pair.empty()) continue;
        const std::size_t eq = pair.find('=');
        const std::string_view key = pair.substr(0, eq);
        const std::string_view value =
            eq == std::string_view::npos ? std::string_view() : pair.substr(eq + 1);
        if (!each(key, value)) return;
    }
}

}  // namespace

void ParseUrlEncoded(std::string_view text, RequestCollection& into) {
    ForEachEncodedPair(text, [&](std::string_view key, std::string_view value) {
        into.Add(UrlDecode(key), UrlDecode(value));
        return true;
    });
}

void ParseCookieHeader(std::string_view header, RequestCollection& into) {
    while (!header.empty()) {
        const std::size_t semi = header.find(';');
        const std::string_view pair = TrimBlanks(header.substr(0, semi));
        header = semi == std::string_view::npos ? std::string_view() : header.substr(semi + 1);
        const std::size_t eq = pair.find('=');
        if (pair.empty() || eq == 0) continue;
        const std::string name = UrlDecode(pair.substr(0, eq));
        if (into.Contains(name)) continue;  // the most specific path comes first
        const std::string_view value =
            eq == std::string_view::npos ? std::string_view() : pair.substr(eq + 1);
        into.Add(name, UrlDecode(value));
    }
}

Request::Request(RawRequest raw)
    : rawQuery_(raw.queryString), headers_(std::move(raw.headers)), body_(std::move(raw.body)) {
    ParseUrlEncoded(raw.queryString, query_);

    const std::string contentType = Header("Content-Type");
    if (IsFormContentType(contentType)) ParseUrlEncoded(body_, form_);

    for (const auto& [name, value] : headers_)
        if (EqualsIgnoreCase(name, "Cookie")) ParseCookieHeader(value, cookies_);

    auto& sv = serverVariables_;
    // What the host passes on as sent is made valid UTF-8 like the rest.
    const std::string remoteAddr = ToValidUtf8(raw.remoteAddr);
    sv.Add("REMOTE_ADDR", remoteAddr);
    sv.Add("REMOTE_HOST", remoteAddr);
    sv.Add("REQUEST_METHOD", ToValidUtf8(raw.method));
    const std::string path = GbkToUtf8(raw.path);
    sv.Add("SCRIPT_NAME", path);
    sv.Add("URL", path);
    sv.Add("PATH_INFO", path);
    sv.Add("QUERY_STRING", ToValidUtf8(raw.queryString));
    sv.Add("CONTENT_TYPE", GbkToUtf8(contentType));
    sv.Add("CONTENT_LENGTH", std::to_string(body_.size()));
    sv.Add("SERVER_NAME", ToValidUtf8(raw.serverName));
    sv.Add("SERVER_PORT", std::to_string(raw.serverPort));
    sv.Add("SERVER_PROTOCOL", "HTTP/1.1");
    for (const auto& [name, value] : headers_) {
        const std::string variable = ToValidUtf8(HeaderVariableName(name));
        if (!sv.Contains(variable)) sv.Add(variable, GbkToUtf8(value));
    }
}

std::string Request::TypedName(std::string_view key, std::string read,
                               const std::function<bool(const std::string&)>& known) const {
    if (known(read)) return read;
    std::string found = read;
    ForEachEncodedPair(rawQuery_, [&](std::string_view encodedKey, std::string_view encodedValue) {
        if (!EqualsIgnoreCase(UrlDecode(encodedKey), key)) return true;
        const std::optional<std::string> typed = UrlDecodeUtf8(encodedValue);
        if (typed && *typed != read && known(*typed)) found = *typed;
        return false;
    });
    return found;
}

Variant Request::operator()(std::string_view key) const {
    const std::string folded = LCase(key);
    for (const RequestCollection* c : {&query_, &form_, &cookies_, &serverVariables_}) {
        if (const auto* e = c->findFolded(folded)) {
            return e->value();
        }
    }
    return Variant();
}

std::string Request::BinaryRead(std::size_t count) {
    const std::size_t n = std::min(count, body_.size() - bodyRead_);
    std::string bytes = body_.substr(bodyRead_, n);
    bodyRead_ += n;
    return bytes;
}

std::string Request::Header(std::string_view name) const {
    for (const auto& [key, value] : headers_)
        if (EqualsIgnoreCase(key, name)) return value;
    return std::string();
}

}  // namespace platform
