#include "site/BoardDatabase.h"

#include "core/Schema.h"
#include "platform/Connection.h"
#include "platform/DataSources.h"

namespace site {

std::string PrepareBoardDatabase(const std::string& path, const platform::Application& application) {
    core::EnsureDatabase(path);
    const platform::Variant setting = application.Get("DSN");
    const std::string name = setting == platform::Variant("") ? "Tarnbell" : setting.str();
    platform::DataSources::Set(name, path);
    return name;
}

bool MakeAdministrator(const std::string& path, const std::string& name) {
    platform::Connection con;
    con.OpenFile(path);
    return con.Execute("update register set status='administrator' where username=?", {name}) > 0;
}

}  // namespace site
