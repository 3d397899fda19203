#pragma once
// A small board with an administrator ("boss", password "secret"), served
// through the request driver; the control panel's pages are posted to as
// the panel's forms post them.
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "TempFolder.h"
#include "board/browse/BrowseBoard.h"
#include "core/AppFolder.h"
#include "platform/Recordset.h"

namespace admin_test {

using browse_test::Has;

// `form` with the fields of `changes` set: replaced where present, else added.
inline site::Fields With(site::Fields form, const site::Fields& changes) {
    for (const auto& [key, value] : changes) {
        bool replaced = false;
        for (auto& field : form)
            if (field.first == key) field.second = value, replaced = true;
        if (!replaced) form.emplace_back(key, value);
    }
    return form;
}

// The whole content of a file ("" when there is none).
inline std::string FileContent(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

// The board's data folder, a fresh temporary one while the object lives.
class ScopedDataFolder {
public:
    ScopedDataFolder() { core::SetAppFolder(folder_.Path().string()); }
    ~ScopedDataFolder() { core::SetAppFolder("data"); }
    const std::filesystem::path& Path() const { return folder_.Path(); }
    std::string File(const std::string& name) const { return folder_.File(name); }

private:
    TempFolder folder_;
};

class PanelBoard : public browse_test::BrowseBoard {
public:
    PanelBoard() {
        AddMember("boss", "secret");
        db.con.Execute("update register set status='administrator' where username='boss'");
    }

    site::DriverResponse Post(const std::string& page, site::Fields form) {
        return driver.Post("admin/" + page, std::move(form));
    }
    site::DriverResponse PanelGet(const std::string& page, site::Fields query = {}) {
        return driver.Get("admin/" + page, std::move(query));
    }
    // The boss's credentials before the page's own fields.
    site::DriverResponse AsBoss(const std::string& page, site::Fields form) {
        form.insert(form.begin(), {{"UserName", "boss"}, {"Password", "secret"}});
        return Post(page, std::move(form));
    }
    // Logs into the forum setup, which keeps the panel login in the session.
    void Login() { AsBoss("forum.asp", {{"action", "login"}}); }

    // The first column of the first row, as text ("NULL" for null, "-" for no row).
    std::string Value(const std::string& sql, const platform::SqlParams& params = {}) {
        platform::Recordset rs;
        rs.Open(sql, db.con, params);
        if (rs.Eof()) return "-";
        return rs.Fields(0).isNull() ? "NULL" : rs.Fields(0).str();
    }
    long Count(const std::string& sql, const platform::SqlParams& params = {}) {
        return std::stol(Value("select count(*) from " + sql, params));
    }
};

}  // namespace admin_test
