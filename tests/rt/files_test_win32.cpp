// The file functions with Windows' error numbers.
#include <gtest/gtest.h>

#include "platform/rt/files.hpp"
#include "tests/support/temp_dir.hpp"

namespace {

TEST(FilesWin32Test, CreateInAMissingDirectoryFails) {
  rt_test::TempDir dir;
  dir.enter();
  EXPECT_EQ(rt::fCreate("NOWHERE\\OUT.CSV"), -1);
  EXPECT_EQ(rt::fError(), 3);  // the path is not found, as DOS said
}

}  // namespace
