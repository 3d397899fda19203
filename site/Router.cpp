#include "site/Router.h"

#include "platform/Strings.h"

namespace site {

void Router::add(std::string_view page, PageHandler handler) {
    routes_[platform::LCase(page)] = std::move(handler);
}

const PageHandler* Router::find(std::string_view page) const {
    const auto it = routes_.find(platform::LCase(page));
    return it == routes_.end() ? nullptr : &it->second;
}

}  // namespace site
