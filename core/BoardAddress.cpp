#include "core/BoardAddress.h"

#include <algorithm>

namespace core {

bool IsBoardAddress(std::string_view address) {
    if (address.empty() || address.front() == ' ' || address.substr(0, 2) == "//") return false;
    for (unsigned char c : address)
        if (c < 0x20 || c == 0x7F || c == '\\') return false;
    const std::string_view path = address.substr(0, address.find_first_of("?#"));
    // A colon before the first slash makes a scheme ("javascript:").
    if (path.substr(0, path.find('/')).find(':') != std::string_view::npos) return false;
    std::size_t start = 0;
    while (start <= path.size()) {
        const std::size_t end = std::min(path.find('/', start), path.size());
        if (path.substr(start, end - start) == "..") return false;
        start = end + 1;
    }
    return true;
}

}  // namespace core
