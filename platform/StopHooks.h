#pragma once
// Work the program does when it stops, such as writing what it keeps in
// memory. Areas register their hooks when they load; the program runs them
// once after it has stopped serving.
#include <functional>

namespace platform {

void AtStop(std::function<void()> hook);

// Runs every hook registered so far, in order, each once. A hook that fails
// does not keep the others from running; the first failure is raised after
// them all.
void RunStopHooks();

}  // namespace platform
