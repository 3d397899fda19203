#include "platform/Background.h"

#include <utility>

namespace platform {

namespace {
BackgroundRunner& Runner() {
    static BackgroundRunner runner;
    return runner;
}
}  // namespace

void SetBackgroundRunner(BackgroundRunner runner) { Runner() = std::move(runner); }

void RunInBackground(std::function<void()> work) {
    if (Runner())
        Runner()(std::move(work));
    else
        work();
}

}  // namespace platform
