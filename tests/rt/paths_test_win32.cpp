// The Windows name layer: drives, and names of every form Windows has.
#include <filesystem>

#include <gtest/gtest.h>

#include "platform/rt/paths.hpp"
#include "tests/support/temp_dir.hpp"

namespace {

TEST(PathsWin32Test, TheStartLocationIsTheCurrentDirectory) {
  rt_test::TempDir dir;
  dir.enter();
  const std::string cwd = std::filesystem::current_path().string();
  EXPECT_EQ(rt::startLocation(), cwd);
  EXPECT_EQ(rt::curDrive() + ":\\" + rt::curDir(), cwd);
  EXPECT_EQ(rt::curDrive().size(), 1u);
}

}  // namespace
