#pragma once
// A fresh board database for one test: a file in a folder of its own,
// created from the schema, mapped as a data source (default "Tarnbell"), with an open
// connection `con`. Everything is removed again when the object goes.
//
//   TestDatabase db;
//   db.con.Execute("insert into forum (forumname) values (?)", {"General"});
//   settings.ConnectionString = db.ConnectionString();
#include <string>

#include "TempFolder.h"
#include "core/Schema.h"
#include "platform/Connection.h"
#include "platform/DataSources.h"

class TestDatabase {
public:
    explicit TestDatabase(std::string dataSource = "Tarnbell")
        : dataSource_(std::move(dataSource)), path_(folder_.File("board.db")) {
        core::EnsureDatabase(path_);
        platform::DataSources::Set(dataSource_, path_);
        con.Open(ConnectionString());
    }

    ~TestDatabase() {
        con.Close();
        platform::DataSources::Remove(dataSource_);
    }

    TestDatabase(const TestDatabase&) = delete;
    TestDatabase& operator=(const TestDatabase&) = delete;

    const std::string& Path() const { return path_; }
    std::string ConnectionString() const {
        return "Provider=MSDASQL.1;USER ID=sa;PASSWORD=;DATA SOURCE=" + dataSource_;
    }

    platform::Connection con;

private:
    TempFolder folder_;  // goes last, with the database's files
    std::string dataSource_;
    std::string path_;
};
