// The file functions on what only a POSIX system has (FIFOs) and with its
// error numbers.
#include <sys/stat.h>

#include <cerrno>

#include <gtest/gtest.h>

#include "platform/rt/files.hpp"
#include "tests/support/temp_dir.hpp"

namespace {

class FilesPosixTest : public testing::Test {
 protected:
  void SetUp() override { dir.enter(); }
  rt_test::TempDir dir;
};

TEST_F(FilesPosixTest, MemoReadTakesOnlyRegularFiles) {
  ASSERT_EQ(mkfifo((dir / "RAZAVOZ.INP").c_str(), 0600), 0);
  EXPECT_FALSE(rt::file("RAZAVOZ.INP"));
  EXPECT_EQ(rt::memoRead("RAZAVOZ.INP"), "");  // returns at once, no writer needed
  EXPECT_EQ(rt::fError(), 87);
  std::filesystem::create_directory(dir / "MEMOS.SYS");
  EXPECT_EQ(rt::memoRead("MEMOS.SYS"), "");
  EXPECT_EQ(rt::fError(), 5);
}

TEST_F(FilesPosixTest, CreatingOverAFifoDoesNotWait) {
  ASSERT_EQ(mkfifo((dir / "OUT.CSV").c_str(), 0600), 0);
  EXPECT_EQ(rt::fCreate("OUT.CSV"), -1);
  EXPECT_EQ(rt::fError(), 10000 + ENXIO);
}

TEST_F(FilesPosixTest, CreateInAMissingDirectoryFails) {
  EXPECT_EQ(rt::fCreate("NOWHERE\\OUT.CSV"), -1);
  EXPECT_EQ(rt::fError(), 2);  // ENOENT: the system does not tell the folder from the file
}

}  // namespace
