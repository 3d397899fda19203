// Character-set conversion and web encodings on any bytes: valid UTF-8 out,
// and text read from GBK writes back to GBK that reads the same.
#include "FuzzInput.h"
#include "platform/Charset.h"
#include "platform/Strings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input = fuzz::text(data, size);

    const std::string fromGbk = platform::GbkToUtf8(input);
    fuzz::check(platform::IsValidUtf8(fromGbk));
    // U+FFFD has no GBK form and is written as a character reference.
    const std::string expected = platform::Replace(fromGbk, "\uFFFD", "&#65533;");
    fuzz::check(platform::GbkToUtf8(platform::Utf8ToGbk(fromGbk)) == expected);

    const std::string valid = platform::ToValidUtf8(input);
    fuzz::check(platform::IsValidUtf8(valid));
    fuzz::check(platform::IsValidUtf8(input) == (valid == input));
    fuzz::check(platform::IsValidUtf8(platform::GbkToUtf8(platform::Utf8ToGbk(valid))));
    fuzz::check(platform::IsValidUtf8(platform::UrlDecode(input)));
    for (char c : platform::UrlEncode(valid))
        fuzz::check((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '%' || c == '+');
    const std::string html = platform::HtmlEncode(valid);
    fuzz::check(html.find_first_of("<>\"") == std::string::npos && platform::IsValidUtf8(html));
    return 0;
}
