#include "platform/rt/sysinfo.hpp"

#include <sys/utsname.h>

#include <gtest/gtest.h>

namespace {

TEST(SysInfoTest, VersionTextsNameThisRuntime) {
  EXPECT_EQ(rt::version(), "dbf2csv runtime 1.0");
  EXPECT_EQ(rt::version() + "." + rt::version(3), "dbf2csv runtime 1.0.0");
  EXPECT_EQ(rt::version(1) + "." + rt::version(2), "1.0");
  EXPECT_EQ(rt::version(9), "");
}

TEST(SysInfoTest, OsAndAppNameComeFromTheSystem) {
  struct utsname u;
  ASSERT_EQ(uname(&u), 0);
  EXPECT_EQ(rt::os(), std::string(u.sysname) + " " + u.release + " " + u.machine);
  EXPECT_EQ(rt::appName(), "rt_tests");
  std::string full = rt::appName(true);
  EXPECT_EQ(full.front(), '/');
  EXPECT_EQ(full.substr(full.size() - 9), "/rt_tests");
}

}  // namespace
