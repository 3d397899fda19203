#include "platform/WaitMark.h"

namespace platform {

thread_local std::atomic<std::size_t>* WaitMark::threadCounter_ = nullptr;

}  // namespace platform
