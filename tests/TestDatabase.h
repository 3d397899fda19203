#pragma once
// A fresh board database for one test: a temporary file created from the
// schema, mapped as a data source (default "Tarnbell"), with an open
// connection `con`. Everything is removed again when the object goes.
//
//   TestDatabase db;
//   db.con.Execute("insert into forum (forumname) values (?)", {"General"});
//   settings.ConnectionString = db.ConnectionString();
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "core/Schema.h"
#include "platform/Connection.h"
#include "platform/DataSources.h"

class TestDatabase {
public:
    explicit TestDatabase(std::string dataSource = "Tarnbell") : dataSource_(std::move(dataSource)) {
        std::string pattern = (std::filesystem::temp_directory_path() / "orvane-test-XXXXXX").string();
        int fd = mkstemp(pattern.data());
        if (fd >= 0) close(fd);
        path_ = pattern;
        core::EnsureDatabase(path_);
        platform::DataSources::Set(dataSource_, path_);
        con.Open(ConnectionString());
    }

    ~TestDatabase() {
        con.Close();
        platform::DataSources::Remove(dataSource_);
        for (const char* suffix : {"", "-wal", "-shm"}) std::remove((path_ + suffix).c_str());
    }

    TestDatabase(const TestDatabase&) = delete;
    TestDatabase& operator=(const TestDatabase&) = delete;

    const std::string& Path() const { return path_; }
    std::string ConnectionString() const {
        return "Provider=MSDASQL.1;USER ID=sa;PASSWORD=;DATA SOURCE=" + dataSource_;
    }

    platform::Connection con;

private:
    std::string dataSource_;
    std::string path_;
};
