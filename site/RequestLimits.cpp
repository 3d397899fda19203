#include "site/RequestLimits.h"

#include <cstring>
#include <string_view>

#include "platform/Strings.h"

namespace site {

namespace {

// Whether "a=1&b=2" has more than `maxFields` fields or a longer one than
// `maxBytes`.
bool FieldsOverLimit(std::string_view text, std::size_t maxFields, std::size_t& fields, std::size_t maxBytes) {
    while (!text.empty()) {
        const void* amp = std::memchr(text.data(), '&', text.size());
        const std::size_t length = amp ? static_cast<const char*>(amp) - text.data() : text.size();
        if (length > maxBytes) return true;
        if (length > 0 && ++fields > maxFields) return true;
        text.remove_prefix(amp ? length + 1 : length);
    }
    return false;
}

bool IsForm(const platform::RawRequest& raw) {
    for (const auto& [name, value] : raw.headers)
        if (platform::EqualsIgnoreCase(name, "Content-Type")) return platform::IsFormContentType(value);
    return false;
}

}  // namespace

int LimitStatus(const platform::RawRequest& raw, const RequestLimits& limits, std::size_t bodyLimit) {
    if (raw.headers.size() > limits.headerLines) return 431;
    std::size_t headBytes = raw.method.size() + raw.path.size() + raw.queryString.size();
    for (const auto& [name, value] : raw.headers) headBytes += name.size() + value.size() + 4;
    if (headBytes > limits.headBytes) return 431;

    std::size_t fields = 0;
    if (FieldsOverLimit(raw.queryString, limits.fields, fields, limits.fieldBytes)) return 414;
    if (raw.body.size() > bodyLimit) return 413;
    if (IsForm(raw) && FieldsOverLimit(raw.body, limits.fields, fields, limits.fieldBytes)) return 413;
    return 0;
}

}  // namespace site
