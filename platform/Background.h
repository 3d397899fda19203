#pragma once
// Work a page starts and need not wait for, such as a batch of counters to
// write. It runs at once on the calling thread unless the program has
// named a runner: the server hands it to a thread of its own, so that a
// slow write holds up no connection.
#include <functional>

namespace platform {

using BackgroundRunner = std::function<void(std::function<void()>)>;

// Set before serving (and cleared after): an empty runner runs work at once.
void SetBackgroundRunner(BackgroundRunner runner);

void RunInBackground(std::function<void()> work);

}  // namespace platform
