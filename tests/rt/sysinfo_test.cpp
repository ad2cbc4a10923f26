#include "platform/rt/sysinfo.hpp"

#include <gtest/gtest.h>

namespace {

TEST(SysInfoTest, VersionTextsNameThisRuntime) {
  EXPECT_EQ(rt::version(), "dbf2csv runtime 1.0");
  EXPECT_EQ(rt::version() + "." + rt::version(3), "dbf2csv runtime 1.0.0");
  EXPECT_EQ(rt::version(1) + "." + rt::version(2), "1.0");
  EXPECT_EQ(rt::version(9), "");
}

}  // namespace
