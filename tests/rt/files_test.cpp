#include "platform/rt/files.hpp"

#include <gtest/gtest.h>

#include <cerrno>

#include "platform/rt/os_file_test_helper.hpp"
#include "platform/rt/output_file.hpp"
#include "tests/support/temp_dir.hpp"

namespace {

class FilesTest : public testing::Test {
 protected:
  void SetUp() override { dir.enter(); }
  void TearDown() override { rt::failWritesAfter(0, 0); }
  rt_test::TempDir dir;
};

TEST_F(FilesTest, CreateWriteCloseReplacesTheFile) {
  dir.write("ORDERS.CSV", "old content that is longer");
  int h = rt::fCreate("orders.csv");  // the existing file, whatever the case
  ASSERT_GE(h, 0);
  EXPECT_EQ(rt::fError(), 0);
  EXPECT_EQ(rt::fWrite(h, "\"A\"\r\n"), 5u);
  EXPECT_EQ(rt::fWrite(h, "\"B\"\r\nxyz", 5), 5u);
  EXPECT_TRUE(rt::fClose(h));
  EXPECT_EQ(rt_test::readFile(dir / "ORDERS.CSV"), "\"A\"\r\n\"B\"\r\n");
  EXPECT_EQ(dir.listing(), "ORDERS.CSV");
}

TEST_F(FilesTest, AFailedWriteIsReportedNotSwallowed) {
  int h = rt::fCreate("OUT.CSV");
  ASSERT_GE(h, 0);
  rt::failWritesAfter(3, rt::dos::DiskFull);
  EXPECT_EQ(rt::fWrite(h, "line\r\n"), 6u);  // still in the buffer
  EXPECT_FALSE(rt::fClose(h));
  EXPECT_EQ(rt::fError(), 112);
  EXPECT_EQ(rt_test::readFile(dir / "OUT.CSV"), "lin");
}

TEST_F(FilesTest, AWriteLargerThanTheBlockFailsAtOnce) {
  int h = rt::fCreate("BIG.CSV");
  rt::failWritesAfter(10, rt::dos::DiskFull);
  EXPECT_EQ(rt::fWrite(h, std::string(rt::OutputFile::kBlock + 1, 'x')), 0u);
  EXPECT_EQ(rt::fError(), 112);
  EXPECT_EQ(rt::fWrite(h, "more"), 0u);
  EXPECT_FALSE(rt::fClose(h));
}

TEST_F(FilesTest, HandlesThatAreNotOpenFail) {
  EXPECT_EQ(rt::fWrite(12345, "x"), 0u);
  EXPECT_EQ(rt::fError(), 6);
  EXPECT_FALSE(rt::fClose(-1));
}

TEST_F(FilesTest, MemoReadWritAndErase) {
  dir.write("RAZAVOZ.INP", "C:\\DATA\\ORDERS|x|T\r\n");
  EXPECT_EQ(rt::memoRead("razavoz.inp"), "C:\\DATA\\ORDERS|x|T\r\n");
  EXPECT_EQ(rt::fErase("RAZAVOZ.INP"), 0);
  EXPECT_FALSE(rt::file("RAZAVOZ.INP"));
  EXPECT_EQ(rt::fErase("RAZAVOZ.INP"), -1);
  EXPECT_EQ(rt::fError(), 2);
  // FERROR tells why this erase failed, whatever errno held before it.
  dir.write("FILE", "x");
  errno = 0;
  EXPECT_EQ(rt::fErase("FILE/RAZAVOZ.INP"), -1);
  EXPECT_EQ(rt::fError(), 3);
  EXPECT_EQ(rt::fErase("FILE"), 0);
  EXPECT_EQ(rt::memoRead("RAZAVOZ.INP"), "");
  EXPECT_EQ(rt::fError(), 2);

  EXPECT_TRUE(rt::memoWrit("MEMOS.SYS", "C:\\DATA\\"));
  EXPECT_EQ(rt::memoRead("MEMOS.SYS"), "C:\\DATA\\");
  EXPECT_TRUE(rt::memoWrit("memos.sys", ""));
  EXPECT_EQ(dir.listing(), "MEMOS.SYS");
  EXPECT_EQ(rt::memoRead("MEMOS.SYS"), "");
  rt::failWritesAfter(0, rt::dos::DiskFull);
  EXPECT_FALSE(rt::memoWrit("MEMOS.SYS", "X"));
  EXPECT_EQ(rt::fError(), 112);
}

}  // namespace
