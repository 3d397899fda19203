// The member's upload folder is one plain name below the upload folder: no
// name that could lead elsewhere on any system the files are copied to.
#include <gtest/gtest.h>

#include "admin/Upload.h"

namespace {

TEST(UploadFolderNameTest, OnlyOnePlainNameBelowTheUploadFolder) {
    const struct {
        const char* folder;
        bool plain;
    } cases[] = {
        {"", true},           {"Files", true},     {"图片", true},       {"a.b", true},
        {"../etc", false},    {"a..b", false},     {".hidden", false},   {"a/b", false},
        {"a\\b", false},      {"c:", false},       {"C:x", false},       {"a\tb", false},
    };
    for (const auto& c : cases) EXPECT_EQ(admin::IsPlainFolderName(c.folder), c.plain) << c.folder;
}

}  // namespace
