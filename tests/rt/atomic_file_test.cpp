#include "platform/rt/atomic_file.hpp"

#include <gtest/gtest.h>

#include "platform/rt/os_file_test_helper.hpp"
#include "platform/rt/paths.hpp"
#include "tests/support/temp_dir.hpp"

namespace {

class AtomicFileTest : public testing::Test {
 protected:
  void TearDown() override { rt::failWritesAfter(0, 0); }
  rt_test::TempDir dir;
};

TEST_F(AtomicFileTest, CommitRenamesOverTheTarget) {
  dir.write("Out/ORDERS.CSV", "previous");
  rt::AtomicFile out(dir / "OUT\\ORDERS.CSV");
  ASSERT_TRUE(out.ok());
  EXPECT_EQ(out.target(), dir / "Out/ORDERS.CSV");
  EXPECT_EQ(rt_test::readFile(dir / "Out/ORDERS.CSV"), "previous");
  for (int i = 0; i < 3; ++i) out.append("\"x\"\r\n");
  EXPECT_TRUE(out.commit().isOk());
  EXPECT_EQ(rt_test::readFile(dir / "Out/ORDERS.CSV"), "\"x\"\r\n\"x\"\r\n\"x\"\r\n");
  EXPECT_EQ(dir.listing(), "Out");
  EXPECT_EQ(std::filesystem::directory_iterator(dir / "Out")->path().filename(), "ORDERS.CSV");
}

TEST_F(AtomicFileTest, WithoutCommitThePreviousFileStaysAndTheTempGoes) {
  dir.write("ORDERS.CSV", "previous");
  std::string temp;
  {
    rt::AtomicFile out(dir / "ORDERS.CSV");
    out.append(std::string(3 << 20, 'x'));  // several blocks reach the temporary file
    temp = out.tempPath();
    EXPECT_TRUE(std::filesystem::exists(temp));
  }
  EXPECT_FALSE(std::filesystem::exists(temp));
  EXPECT_EQ(rt_test::readFile(dir / "ORDERS.CSV"), "previous");
  EXPECT_EQ(dir.listing(), "ORDERS.CSV");
}

TEST_F(AtomicFileTest, AFailedWriteKeepsThePreviousFile) {
  dir.write("ORDERS.CSV", "previous");
  rt::AtomicFile out(dir / "ORDERS.CSV");
  rt::failWritesAfter(100, rt::dos::DiskFull);
  for (int i = 0; i < 1000; ++i) out.append("\"a line\"\r\n");
  EXPECT_FALSE(out.commit().isOk());
  EXPECT_EQ(out.status().code(), rt::StatusCode::DiskFull);
  EXPECT_EQ(out.status().osCode(), 112);
  EXPECT_FALSE(out.ok());
  EXPECT_EQ(rt_test::readFile(dir / "ORDERS.CSV"), "previous");
  EXPECT_EQ(dir.listing(), "ORDERS.CSV");
}

TEST_F(AtomicFileTest, TemporaryNamesAreUnpredictableAndNeverReused) {
  rt::AtomicFile a(dir / "X.CSV");
  rt::AtomicFile b(dir / "X.CSV");
  EXPECT_NE(a.tempPath(), b.tempPath());
  EXPECT_EQ(rt::dirName(a.tempPath()), dir.path());
  EXPECT_EQ(rt::baseName(a.tempPath()).rfind(".X.CSV.", 0), 0u);
}

TEST_F(AtomicFileTest, ADirectoryInTheWayOfTheTargetFailsTheCommit) {
  std::filesystem::create_directories(dir / "X.CSV/inner");
  rt::AtomicFile out(dir / "X.CSV");
  ASSERT_TRUE(out.ok());
  out.append("data");
  EXPECT_FALSE(out.commit().isOk());
  EXPECT_FALSE(out.status().isOk());
  EXPECT_EQ(dir.listing(), "X.CSV");
}

}  // namespace
