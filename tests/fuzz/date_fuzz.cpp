// Date reading and conversion: a text that reads as a date, and a number
// that converts to one, give a date whose text reads back to it; anything
// else is refused with the conversion's run-time error.
#include <cstring>

#include "FuzzInput.h"
#include "platform/Convert.h"
#include "platform/DateTime.h"
#include "platform/Error.h"

namespace {

void checkReadsBack(platform::DateTime d) {
    const auto back = platform::ParseDateTime(platform::FormatGeneral(d));
    fuzz::check(back.has_value());
    fuzz::check(platform::SecondsBetween(d, *back) == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(fuzz::text(data, size));
    const auto parsed = platform::ParseDateTime(text);
    fuzz::check(parsed.has_value() == platform::IsDate(platform::Variant(text)));
    if (parsed) checkReadsBack(*parsed);
    try {
        checkReadsBack(platform::CDate(platform::Variant(text)));
    } catch (const platform::RuntimeError& e) {
        fuzz::check(e.number() == platform::kErrTypeMismatch && !parsed);
    }
    if (size >= sizeof(double)) {
        double serial;
        std::memcpy(&serial, data, sizeof serial);
        try {
            checkReadsBack(platform::CDate(platform::Variant(serial)));
        } catch (const platform::RuntimeError& e) {
            fuzz::check(e.number() == platform::kErrOverflow);
        }
    }
    return 0;
}
