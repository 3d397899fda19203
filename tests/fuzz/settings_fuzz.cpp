// The settings file on any text: it reads or is refused with a run-time
// error, and what it reads is valid UTF-8 that the application takes.
#include "FuzzInput.h"
#include "platform/Convert.h"
#include "platform/Error.h"
#include "platform/Strings.h"
#include "site/SettingsFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<site::Setting> settings;
    try {
        settings = site::ParseSettings(fuzz::text(data, size));
    } catch (const platform::RuntimeError&) {
        return 0;
    }
    for (const auto& [key, value] : settings) {
        fuzz::check(!key.empty() && platform::IsValidUtf8(key));
        fuzz::check(platform::IsValidUtf8(platform::CStr(value)));
    }
    platform::Application application;
    site::ApplySettings(settings, application);
    return 0;
}
