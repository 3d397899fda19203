#include "platform/Router.h"

#include "platform/Request.h"
#include "platform/Strings.h"

namespace platform {

void Router::add(std::string_view page, PageHandler handler) {
    pages_[LCase(page)].own = std::move(handler);
}

void Router::addAction(std::string_view page, std::string_view action, PageHandler handler,
                       WhenField when) {
    PageEntry& target = pages_[LCase(page)];
    std::vector<Action>& entries =
        target.actions[target.exactActions ? std::string(action) : LCase(action)];
    for (Action& entry : entries) {
        if (entry.when == when.field) {
            entry.handler = std::move(handler);
            return;
        }
    }
    // Entries that need a field are tried before the one for any request.
    Action entry{std::move(when.field), std::move(handler)};
    if (entry.when.empty()) entries.push_back(std::move(entry));
    else entries.insert(entries.begin(), std::move(entry));
}

void Router::setActionCase(std::string_view page, ActionCase letterCase) {
    pages_[LCase(page)].exactActions = letterCase == ActionCase::Exact;
}

void Router::addChangingLink(std::string_view page, std::string_view action) {
    changingLinks_.emplace(LCase(page), LCase(action));
}

bool Router::changes(std::string_view page, const Request& request) const {
    const std::string method = request.ServerVariables("request_method").str();
    if (method != "GET" && method != "HEAD") return true;
    // Most pages have no changing link: the action is read only for those that do.
    const std::string folded = LCase(page);
    const auto first = changingLinks_.lower_bound({folded, ""});
    if (first == changingLinks_.end() || first->first != folded) return false;
    return first->second.empty() || changingLinks_.count({folded, LCase(request("action").str())}) != 0;
}

void Router::setBodyLimit(std::string_view page, std::size_t bytes) { bodyLimits_[LCase(page)] = bytes; }

std::optional<std::size_t> Router::bodyLimit(std::string_view page) const {
    // Most hosts have one page with a limit of its own, or none.
    if (bodyLimits_.empty()) return std::nullopt;
    const auto it = bodyLimits_.find(LCase(page));
    if (it == bodyLimits_.end()) return std::nullopt;
    return it->second;
}

void Router::addAll(const Router& other) {
    changingLinks_.insert(other.changingLinks_.begin(), other.changingLinks_.end());
    for (const auto& [page, bytes] : other.bodyLimits_) bodyLimits_[page] = bytes;
    for (const auto& [page, entry] : other.pages_) {
        if (entry.exactActions) setActionCase(page, ActionCase::Exact);
        if (entry.own) add(page, entry.own);
        for (const auto& [action, entries] : entry.actions)
            for (const Action& a : entries) addAction(page, action, a.handler, WhenField(a.when));
    }
}

bool Router::has(std::string_view page) const { return pages_.count(LCase(page)) != 0; }

const PageHandler* Router::find(std::string_view page, const Request& request) const {
    const auto it = pages_.find(LCase(page));
    if (it == pages_.end()) return nullptr;
    const PageEntry& entry = it->second;
    if (!entry.actions.empty()) {
        const std::string asked = request("action").str();
        const auto action = entry.actions.find(entry.exactActions ? asked : LCase(asked));
        if (action != entry.actions.end())
            for (const Action& a : action->second)
                if (a.when.empty() || !request.QueryString(a.when).isEmpty() ||
                    !request.Form(a.when).isEmpty())
                    return &a.handler;
    }
    return entry.own ? &entry.own : nullptr;
}

Router& RegisteredPages() {
    static Router routes;
    return routes;
}

}  // namespace platform
