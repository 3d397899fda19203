#include "site/SitePages.h"

#include <algorithm>


namespace site {

bool IsBoardRelativeAddress(std::string_view address) {
    if (address.empty() || address.front() == '/' || address.front() == '\\') return false;
    for (char c : address)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F || c == '\\') return false;
    const std::string_view path = address.substr(0, address.find_first_of("?#"));
    if (path.find(':') != std::string_view::npos) return false;  // a scheme
    std::size_t start = 0;
    while (start <= path.size()) {
        const std::size_t end = std::min(path.find('/', start), path.size());
        if (path.substr(start, end - start) == "..") return false;
        start = end + 1;
    }
    return true;
}

void SitePages::Jump() {
    const std::string target = Request()("jumpTo").str();
    Response().Redirect(IsBoardRelativeAddress(target) ? target : "default.asp");
}

void SitePages::Start() { Response().Redirect("default.asp"); }

void RegisterSitePages(platform::Router& router) {
    router.add("jump.asp", &SitePages::Jump);
    router.add("Default.htm", &SitePages::Start);
}

}  // namespace site
