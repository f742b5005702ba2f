#include <gtest/gtest.h>

#include "common/system_info.h"

namespace vantor {
namespace {

TEST(SystemInfo, DescribesThisWorkstation) {
    OsVersion version = WindowsVersion();
    EXPECT_TRUE(version.IsNtPlatform());
    EXPECT_FALSE(version.systemName.empty());
    EXPECT_GT(version.major, 0);
    std::string fullName = "stale";
    EXPECT_FALSE(UserName(&fullName, false).empty());
    EXPECT_EQ(fullName, "");
}

}  // namespace
}  // namespace vantor
