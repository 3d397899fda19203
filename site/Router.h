#pragma once
// The routing table: page address -> handler. Addresses ignore letter case;
// the control panel's pages are "admin/<name>.asp".
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>

#include "platform/PageObject.h"

namespace site {

using PageHandler = std::function<void(platform::ScriptingContext&)>;

// One page object's life: create, OnStartPage, `body`, OnEndPage (also when
// the body throws).
template <class Page, class Body>
void RunPage(platform::ScriptingContext& context, Body& body) {
    Page page;
    page.OnStartPage(context);
    try {
        std::invoke(body, page);
    } catch (...) {
        page.OnEndPage();
        throw;
    }
    page.OnEndPage();
}

class Router {
public:
    void add(std::string_view page, PageHandler handler);

    // router.add("list.asp", &Tarnbell::list);
    template <class Page, class Result>
    void add(std::string_view page, Result (Page::*method)()) {
        add(page, [method](platform::ScriptingContext& context) {
            auto call = [method](Page& p) { (p.*method)(); };
            RunPage<Page>(context, call);
        });
    }

    // A page that picks its method itself, e.g. on the field `action`:
    // router.add<Tarnbell>("ubbmisc.asp", [](Tarnbell& page) { ... });
    // or a method the class inherits: router.add<Tarnbell>("x.asp", &Base::x);
    template <class Page, class Body>
    void add(std::string_view page, Body body) {
        add(page, PageHandler([body](platform::ScriptingContext& context) mutable {
                RunPage<Page>(context, body);
            }));
    }

    // The handler of a page address without the leading "/", or null.
    const PageHandler* find(std::string_view page) const;
    std::size_t size() const { return routes_.size(); }

private:
    std::unordered_map<std::string, PageHandler> routes_;  // by lower-cased address
};

}  // namespace site
