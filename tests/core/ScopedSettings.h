#pragma once
// Lets a test change the thread's settings record and puts it back afterwards.
#include "core/Settings.h"

namespace testing_support {

class ScopedSettings {
public:
    ScopedSettings() : saved_(core::CurrentSettings()) {}
    ~ScopedSettings() { core::CurrentSettings() = saved_; }
    ScopedSettings(const ScopedSettings&) = delete;
    ScopedSettings& operator=(const ScopedSettings&) = delete;
    core::Settings* operator->() { return &core::CurrentSettings(); }

private:
    core::Settings saved_;
};

}  // namespace testing_support
