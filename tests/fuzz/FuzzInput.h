#pragma once
// Helpers shared by the fuzz targets.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace fuzz {

inline std::string_view text(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

// The input cut at line feeds into at most `count` parts (the last takes
// the rest), so that seeds stay readable.
inline std::vector<std::string_view> parts(std::string_view input, std::size_t count) {
    std::vector<std::string_view> out;
    while (out.size() + 1 < count) {
        const std::size_t end = input.find('\n');
        if (end == std::string_view::npos) break;
        out.push_back(input.substr(0, end));
        input.remove_prefix(end + 1);
    }
    out.push_back(input);
    out.resize(count);
    return out;
}

// A broken rule: libFuzzer keeps the input that did it.
inline void check(bool rule) {
    if (!rule) __builtin_trap();
}

}  // namespace fuzz
