// What the system information says on a POSIX system.
#include <sys/utsname.h>

#include <gtest/gtest.h>

#include "platform/rt/sysinfo.hpp"

namespace {

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
