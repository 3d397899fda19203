#include <gtest/gtest.h>

#include <utility>

#include "core/BoardAddress.h"

namespace {

TEST(BoardAddress, AcceptsOnlyAddressesOfThisBoard) {
    const std::pair<const char*, bool> cases[] = {
        {"default.asp", true},
        {"list.asp?GroupName=%D6%D0", true},
        {"admin/forum.asp?x=http://y", true},
        {"newsdetail.asp?id=3#r:2", true},
        {"/list.asp?GroupName=x", true},  // the identity form's own page
        {"", false},
        {" //evil.example", false},
        {"//evil.example/x", false},
        {"/\\evil.example", false},
        {"\\\\evil.example", false},
        {"http://evil.example/", false},
        {"javascript:alert(1)", false},
        {"JavaScript:alert(1)", false},
        {"java\tscript:alert(1)", false},
        {"../outside.asp", false},
        {"a/../../b.asp", false},
        {"list.asp\r\nSet-Cookie: x=1", false},
        {"list.asp\x7F", false},
    };
    for (const auto& [address, accepted] : cases) EXPECT_EQ(core::IsBoardAddress(address), accepted) << address;
}

}  // namespace
