// The file layer on what only a POSIX system has (FIFOs) and with its
// messages (the C library's).
#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include <gtest/gtest.h>

#include "platform/rt/os_file.hpp"
#include "tests/support/temp_dir.hpp"

namespace {

using rt::StatusCode;

class OsFilePosixTest : public testing::Test {
 protected:
  rt_test::TempDir dir;
};

TEST_F(OsFilePosixTest, ReadingTakesOnlyRegularFiles) {
  ASSERT_EQ(mkfifo((dir / "PIPE").c_str(), 0600), 0);
  rt::OsFile file;
  rt::Status s = file.open(dir / "PIPE");  // returns at once, no writer needed
  EXPECT_EQ(s.code(), StatusCode::NotAFile);
  EXPECT_EQ(s.osCode(), 0);
  EXPECT_EQ(s.message(), "it is not a regular file");
  s = file.open(dir.path());
  EXPECT_EQ(s.code(), StatusCode::AccessDenied);
  EXPECT_EQ(s.osCode(), 5);
  EXPECT_EQ(s.message(), std::strerror(EISDIR));
  EXPECT_FALSE(file.isOpen());
}

}  // namespace
