// What the system information says on Windows.
#include <regex>
#include <string>

#include <gtest/gtest.h>

#include "platform/rt/sysinfo.hpp"

namespace {

TEST(SysInfoWin32Test, OsAndAppNameComeFromTheSystem) {
  EXPECT_TRUE(std::regex_match(rt::os(), std::regex("Windows [0-9]+\\.[0-9]+ build [0-9]+"))) << rt::os();
  EXPECT_EQ(rt::appName(), "rt_tests.exe");
  const std::string full = rt::appName(true);
  EXPECT_TRUE(std::regex_match(full, std::regex("[A-Z]:\\\\.*\\\\rt_tests\\.exe"))) << full;
}

}  // namespace
