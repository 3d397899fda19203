#include <gtest/gtest.h>

#include "UbbCode/UbbCode.h"
#include "platform/ClassRegistry.h"
#include "platform/Error.h"

// The board creates the converter by name only, as the loaded library
// registered it.
TEST(UbbCodeRegistry, CreatedByClassIdOrProgId) {
    for (const char* name : {markup::kUbbCodeProgId, "{2d49d102-2278-44ed-b8d8-793821dc437b}"}) {
        auto converter = platform::CreateObjectAs<markup::UbbCode>(name);
        ASSERT_TRUE(converter) << name;
        platform::Variant content("[b]x[/b]");
        EXPECT_EQ(converter->UbbCode(content), "<B>x</B>");
    }
    try {
        platform::CreateObject("OrvaneMarkup.Nothing");
        FAIL() << "unknown class created";
    } catch (const platform::RuntimeError& e) {
        EXPECT_EQ(e.number(), 429);
    }
}
