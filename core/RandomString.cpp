// Random passwords from the system's secure random source.
#include <sys/random.h>

#include <cerrno>
#include <cstdint>
#include <string>

#include "core/RandomString.h"
#include "platform/Convert.h"
#include "platform/Error.h"

namespace core {

namespace {

std::uint32_t secureRandomWord() {
    std::uint32_t word = 0;
    auto* bytes = reinterpret_cast<unsigned char*>(&word);
    std::size_t filled = 0;
    while (filled < sizeof word) {
        ssize_t got = getrandom(bytes + filled, sizeof word - filled, 0);
        if (got < 0) {
            if (errno == EINTR) continue;
            platform::raise(platform::kErrInvalidCall, platform::kNoRandomBytesText);
        }
        filled += static_cast<std::size_t>(got);
    }
    return word;
}

// Uniform in [0, bound), without the bias of a plain remainder.
std::uint32_t uniformBelow(std::uint32_t bound) {
    const std::uint32_t limit = UINT32_MAX - UINT32_MAX % bound;
    std::uint32_t word;
    do word = secureRandomWord();
    while (word >= limit);
    return word % bound;
}

}  // namespace

std::string RandomString(const platform::Variant& n) {
    const std::int16_t length = platform::CInt(n);
    std::string text;
    for (int i = 0; i < length; ++i) {
        // A digit, an upper-case or a lower-case letter, each a third of the time.
        switch (uniformBelow(3)) {
            case 0: text += static_cast<char>('0' + uniformBelow(10)); break;
            case 1: text += static_cast<char>('A' + uniformBelow(26)); break;
            default: text += static_cast<char>('a' + uniformBelow(26)); break;
        }
    }
    return text;
}

}  // namespace core
