#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include <unistd.h>

#include "core/Module1.h"
#include "platform/Error.h"

namespace {

namespace fs = std::filesystem;

class AppFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = fs::temp_directory_path() / ("appfolder-" + std::to_string(::getpid()));
        fs::remove_all(root_);
        fs::create_directories(root_);
    }
    void TearDown() override {
        core::SetAppFolder("data");
        fs::remove_all(root_);
    }
    fs::path root_;
};

TEST_F(AppFolderTest, CreatesTheSubfolderOnceAndReturnsItsPath) {
    core::SetAppFolder(root_.string());
    const std::string path = core::EnsureAppFolder("js");
    EXPECT_EQ(path, (root_ / "js").string());
    EXPECT_TRUE(fs::is_directory(path));
    fs::create_directory(root_ / "js" / "keep");  // an existing folder is left alone
    EXPECT_EQ(core::EnsureAppFolder("js"), path);
    EXPECT_TRUE(fs::is_directory(root_ / "js" / "keep"));
}

TEST_F(AppFolderTest, CreatesOneLevelOnly) {
    core::SetAppFolder((root_ / "missing").string());
    EXPECT_THROW(core::EnsureAppFolder("js"), platform::RuntimeError);
    EXPECT_FALSE(fs::exists(root_ / "missing"));
}

TEST_F(AppFolderTest, UploadsGoToTheDataFolderUnlessTheSiteNamesAnother) {
    core::SetAppFolder(root_.string());
    EXPECT_EQ(core::UploadBaseFolder(""), (root_ / "upload").string());
    EXPECT_TRUE(fs::is_directory(root_ / "upload"));
    EXPECT_EQ(core::UploadBaseFolder("/srv/files"), "/srv/files");
}

TEST_F(AppFolderTest, RelativeFolderIsResolvedWhenSet) {
    const fs::path before = fs::current_path();
    fs::current_path(root_);
    core::SetAppFolder("board");
    fs::current_path(before);
    fs::create_directory(root_ / "board");
    EXPECT_EQ(core::EnsureAppFolder("js"), (root_ / "board" / "js").string());
}

}  // namespace
