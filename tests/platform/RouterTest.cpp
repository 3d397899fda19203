// The router's table of pages with a request body limit of their own.
#include <gtest/gtest.h>

#include "platform/Router.h"

namespace {

TEST(RouterBodyLimit, PagesKeepTheirOwnLimitWhateverTheCaseAndAcrossTables) {
    platform::Router registered;
    registered.setBodyLimit("Admin/Upload.asp", 5000);
    registered.setBodyLimit("small.asp", 10);
    platform::Router host;
    host.setBodyLimit("small.asp", 20);
    host.addAll(registered);

    const struct {
        const char* page;
        std::optional<std::size_t> limit;
    } cases[] = {
        {"admin/upload.asp", 5000},
        {"ADMIN/UPLOAD.ASP", 5000},
        {"small.asp", 10},  // the added table's entry replaces the host's
        {"upload.asp", std::nullopt},
        {"list.asp", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(host.bodyLimit(c.page), c.limit) << c.page;
    EXPECT_EQ(platform::Router().bodyLimit("admin/upload.asp"), std::nullopt);
}

}  // namespace
