#include "site/Router.h"

#include "platform/KeyMap.h"

namespace site {

void Router::add(std::string_view page, PageHandler handler) {
    routes_[platform::FoldKey(page)] = std::move(handler);
}

const PageHandler* Router::find(std::string_view page) const {
    const auto it = routes_.find(platform::FoldKey(page));
    return it == routes_.end() ? nullptr : &it->second;
}

}  // namespace site
