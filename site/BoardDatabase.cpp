#include "site/BoardDatabase.h"

#include "core/Schema.h"
#include "platform/DataSources.h"

namespace site {

std::string PrepareBoardDatabase(const std::string& path, const platform::Application& application) {
    core::EnsureDatabase(path);
    const platform::Variant setting = application.Get("DSN");
    const std::string name = setting == platform::Variant("") ? "Tarnbell" : setting.str();
    platform::DataSources::Set(name, path);
    return name;
}

}  // namespace site
