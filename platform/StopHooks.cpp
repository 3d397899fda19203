#include "platform/StopHooks.h"

#include <exception>
#include <mutex>
#include <utility>
#include <vector>

namespace platform {

namespace {

std::mutex hooksMutex;

std::vector<std::function<void()>>& Hooks() {
    static std::vector<std::function<void()>> hooks;
    return hooks;
}

}  // namespace

void AtStop(std::function<void()> hook) {
    std::lock_guard lock(hooksMutex);
    Hooks().push_back(std::move(hook));
}

void RunStopHooks() {
    std::vector<std::function<void()>> hooks;
    {
        std::lock_guard lock(hooksMutex);
        hooks.swap(Hooks());
    }
    std::exception_ptr firstFailure;
    for (const auto& hook : hooks) {
        try {
            hook();
        } catch (...) {
            if (!firstFailure) firstFailure = std::current_exception();
        }
    }
    if (firstFailure) std::rethrow_exception(firstFailure);
}

}  // namespace platform
