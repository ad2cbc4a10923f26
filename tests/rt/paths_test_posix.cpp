// The current location on a POSIX system, which has no drives.
#include <filesystem>

#include <gtest/gtest.h>

#include "platform/rt/paths.hpp"
#include "tests/support/temp_dir.hpp"

namespace {

TEST(PathsPosixTest, TheStartLocationIsTheCurrentDirectory) {
  rt_test::TempDir dir;
  dir.enter();
  std::string cwd = std::filesystem::current_path().string();
  EXPECT_EQ(rt::startLocation(), cwd);
  EXPECT_EQ(rt::curDrive(), "");
  EXPECT_EQ("/" + rt::curDir(), cwd);
}

}  // namespace
