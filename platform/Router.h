#pragma once
// Page addresses and the page objects that serve them.
//
// How to add a page: declare the method on your area's page class (it
// derives from core::Tarnbell or core::BoardPage), define it in your area's
// folder, and register it beside it with a static registrar, e.g. in
// board/browse/BrowseRoutes.cpp:
//
//   const platform::PageRegistrar kList("list.asp", &BrowsePages::list);
//   // one action of a page that several areas share ("ubbmisc.asp?action=x"):
//   const platform::ActionRegistrar kIdCheck("ubbmisc.asp", "idcheck", &Tarnbell::IDCheck);
//   // two forms posting the same action, told apart by a field only one sends:
//   const platform::ActionRegistrar kMove("archive.asp", "submittransfer",
//                                         platform::WhenField("Option"), &Archives::Transfer);
//   // what a page with actions answers to no or an unknown action:
//   const platform::PageRegistrar kMenu("tools.asp", &ToolPages::Menu);
//   // a link (a GET) that leads to a change, refused from another site as
//   // every POST is:
//   const platform::ChangingLink kAddFavourite("favor.asp");
//   // a page that takes a larger request body than the host's default:
//   const platform::BodyLimit kUploadBody("admin/upload.asp", 3 << 20);
//   // a page whose every answer runs inside the same setup, here the login
//   // gate, with the inbox for no or an unknown action:
//   const platform::FramedPage kPm("pm.asp", &PM::Gate, &PM::inbox,
//                                  {{"newpm", &PM::newpm}, {"outbox", &PM::outbox}});
//
// Addresses and actions compare ignoring case; a page may compare its
// actions exactly instead (ActionCase::Exact). A page that has actions but
// no page-wide answer treats a request without a known action as an unknown
// address: the host answers "page not found" (404). The site builds its
// routing table from RegisteredPages() when it starts.
#include <functional>
#include <initializer_list>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "platform/PageObject.h"

namespace platform {

class Request;

using PageHandler = std::function<void(ScriptingContext&)>;

// One page object's life: create, OnStartPage, `body`, OnEndPage (also when
// the body throws).
template <class Page, class Body>
void ServePage(ScriptingContext& context, Body& body) {
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

template <class Page, class Result>
PageHandler MethodHandler(Result (Page::*method)()) {
    return [method](ScriptingContext& context) {
        auto call = [method](Page& p) { (p.*method)(); };
        ServePage<Page>(context, call);
    };
}

// The shared setup of a page's actions: a method of the page object that
// does the setup (opens a connection, proves a login, writes the page's head
// and tail) and runs the step it is given, passing it what the setup made
// (nothing, or e.g. the core::Page of the run).
template <class Page, class... Args>
using Frame = void (Page::*)(const std::function<void(Args...)>& step);
// One answer inside a frame: a method of the page object or a callable.
template <class Page, class... Args>
using FramedStep = std::type_identity_t<std::function<void(Page&, Args...)>>;

template <class Page, class... Args>
struct FramedAction {
    std::string_view action;
    FramedStep<Page, Args...> step;
};

// `step` run inside `frame` on one page object.
template <class Page, class... Args>
PageHandler FramedHandler(Frame<Page, Args...> frame, FramedStep<Page, Args...> step) {
    return [frame, step = std::move(step)](ScriptingContext& context) {
        auto run = [&](Page& page) {
            (page.*frame)([&](Args... args) { step(page, std::forward<Args>(args)...); });
        };
        ServePage<Page>(context, run);
    };
}

// How a page compares the request's action with the actions it has.
enum class ActionCase { Ignored, Exact };

// An action entry that applies only when the request carries `field`
// (any value, empty included); an empty name applies to every request.
struct WhenField {
    explicit WhenField(std::string name = {}) : field(std::move(name)) {}
    std::string field;
};

class Router {
public:
    // The page's own answer: the whole page, or, for a page with actions,
    // its answer to a missing or unknown action.
    void add(std::string_view page, PageHandler handler);

    // router.add("list.asp", &Tarnbell::list);
    template <class Page, class Result>
    void add(std::string_view page, Result (Page::*method)()) {
        add(page, MethodHandler(method));
    }

    // A page body run on a page object of class Page:
    // router.add<Tarnbell>("x.asp", [](Tarnbell& page) { ... });
    // or a method the class inherits: router.add<Tarnbell>("x.asp", &Base::x);
    template <class Page, class Body>
    void add(std::string_view page, Body body) {
        add(page, PageHandler([body](ScriptingContext& context) mutable {
                ServePage<Page>(context, body);
            }));
    }

    // The answer to `page` when its field `action` is `action`.
    void addAction(std::string_view page, std::string_view action, PageHandler handler,
                   WhenField when = WhenField());

    // A page whose answers all run inside `frame`: `own` to a missing or
    // unknown action (none: "page not found"), each of `actions` to its own.
    template <class Page, class... Args>
    void addFramed(std::string_view page, Frame<Page, Args...> frame, FramedStep<Page, Args...> own,
                   std::initializer_list<std::type_identity_t<FramedAction<Page, Args...>>> actions,
                   ActionCase letterCase = ActionCase::Ignored) {
        setActionCase(page, letterCase);
        if (own) add(page, FramedHandler(frame, std::move(own)));
        for (const auto& entry : actions) addAction(page, entry.action, FramedHandler(frame, entry.step));
    }

    // How `page` compares actions, for the actions added after it.
    void setActionCase(std::string_view page, ActionCase letterCase);

    // A page that takes a larger (or smaller) request body than the host's
    // default, e.g. an upload.
    void setBodyLimit(std::string_view page, std::size_t bytes);
    // The page's own body limit, if it has one.
    std::optional<std::size_t> bodyLimit(std::string_view page) const;

    // Every route of `other`; its entries replace this table's for the same
    // page and action.
    void addAll(const Router& other);

    // Marks the GETs of `page` with this `action` ("" for all of the
    // page's GETs) as changing something.
    void addChangingLink(std::string_view page, std::string_view action = {});
    // Whether this request of `page` would change something: every request
    // but a GET or HEAD, and the GETs of the marked links.
    bool changes(std::string_view page, const Request& request) const;

    // Whether `page` (the address without the leading "/") is served here.
    bool has(std::string_view page) const;
    // The handler for this request of `page`, or null when the page is not
    // served here or has no answer to the request's action.
    const PageHandler* find(std::string_view page, const Request& request) const;
    // How many addresses are served.
    std::size_t size() const { return pages_.size(); }

private:
    struct Action {
        std::string when;  // the field the entry needs; "" for any request
        PageHandler handler;
    };
    struct PageEntry {
        PageHandler own;                                    // may be empty
        std::map<std::string, std::vector<Action>> actions;  // by lower-cased action, unless exact
        bool exactActions = false;
    };
    std::map<std::string, PageEntry> pages_;  // by lower-cased address
    std::set<std::pair<std::string, std::string>> changingLinks_;  // lower-cased address and action
    std::map<std::string, std::size_t> bodyLimits_;                 // by lower-cased address
};

// The routes the areas register while the program loads.
Router& RegisteredPages();

struct PageRegistrar {
    template <class Page, class Result>
    PageRegistrar(std::string_view page, Result (Page::*method)()) {
        RegisteredPages().add(page, MethodHandler(method));
    }
};

struct ChangingLink {
    explicit ChangingLink(std::string_view page, std::string_view action = {}) {
        RegisteredPages().addChangingLink(page, action);
    }
};

struct BodyLimit {
    BodyLimit(std::string_view page, std::size_t bytes) { RegisteredPages().setBodyLimit(page, bytes); }
};

template <class Page, class... Args>
struct FramedPage {
    FramedPage(std::string_view page, Frame<Page, Args...> frame, FramedStep<Page, Args...> own,
               std::initializer_list<std::type_identity_t<FramedAction<Page, Args...>>> actions,
               ActionCase letterCase = ActionCase::Ignored) {
        RegisteredPages().addFramed(page, frame, std::move(own), actions, letterCase);
    }
};

struct ActionRegistrar {
    template <class Page, class Result>
    ActionRegistrar(std::string_view page, std::string_view action, Result (Page::*method)()) {
        RegisteredPages().addAction(page, action, MethodHandler(method));
    }
    template <class Page, class Result>
    ActionRegistrar(std::string_view page, std::string_view action, WhenField when,
                    Result (Page::*method)()) {
        RegisteredPages().addAction(page, action, MethodHandler(method), std::move(when));
    }
};

}  // namespace platform
