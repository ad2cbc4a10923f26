#include "platform/rt/os_file.hpp"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/rt/os_file_test_helper.hpp"
#include "platform/rt/output_file.hpp"
#include "tests/support/temp_dir.hpp"

namespace {

using rt::OpenMode;
using rt::StatusCode;

class OsFileTest : public testing::Test {
 protected:
  void TearDown() override { rt::failWritesAfter(0, 0); }
  rt_test::TempDir dir;
};

TEST_F(OsFileTest, TheOpenModesCreateEmptyAppendAndRefuse) {
  struct Case {
    OpenMode mode;
    bool existing;
    StatusCode result;
    const char* content;  // of the file afterwards
  };
  const Case cases[] = {
      {OpenMode::Write, false, StatusCode::Ok, "new"},     {OpenMode::Write, true, StatusCode::Ok, "new"},
      {OpenMode::Append, false, StatusCode::Ok, "new"},    {OpenMode::Append, true, StatusCode::Ok, "oldnew"},
      {OpenMode::CreateNew, false, StatusCode::Ok, "new"}, {OpenMode::CreateNew, true, StatusCode::Exists, "old"},
      {OpenMode::Read, false, StatusCode::NotFound, nullptr},
  };
  for (const Case& c : cases) {
    const std::string path = dir / "F.TXT";
    std::filesystem::remove(path);
    if (c.existing) dir.write("F.TXT", "old");
    rt::OsFile file;
    const rt::Status opened = file.open(path, c.mode);
    EXPECT_EQ(opened.code(), c.result) << static_cast<int>(c.mode) << " " << c.existing;
    EXPECT_EQ(file.isOpen(), opened.isOk());
    if (opened.isOk()) {
      EXPECT_TRUE(file.write("new").isOk());
      EXPECT_TRUE(file.close().isOk());
    }
    if (c.content) {
      EXPECT_EQ(rt_test::readFile(path), c.content) << static_cast<int>(c.mode);
    }
  }
}

TEST_F(OsFileTest, ReadsAtAnOffsetUpToTheEnd) {
  dir.write("F.TXT", "0123456789");
  rt::OsFile file;
  ASSERT_TRUE(file.open(dir / "F.TXT").isOk());
  EXPECT_EQ(file.size(), 10u);
  char buf[8] = {};
  std::size_t got = 0;
  EXPECT_TRUE(file.readAt(6, buf, sizeof buf, got).isOk());
  EXPECT_EQ(std::string(buf, got), "6789");
  EXPECT_TRUE(file.readAt(20, buf, sizeof buf, got).isOk());
  EXPECT_EQ(got, 0u);
}

TEST_F(OsFileTest, ASecondLockOfTheSameFileIsRefused) {
  dir.write("T.DBF", "x");
  rt::OsFile first, second;
  ASSERT_TRUE(first.open(dir / "T.DBF").isOk());
  ASSERT_TRUE(second.open(dir / "T.DBF").isOk());
  EXPECT_TRUE(first.lock(true).isOk());
  EXPECT_TRUE(second.lock(true).isOk());
  const rt::Status refused = second.lock(false);
  EXPECT_EQ(refused.code(), StatusCode::Locked);
  EXPECT_EQ(refused.osCode(), 32);
  first = rt::OsFile();  // closing releases the lock
  EXPECT_TRUE(second.lock(false).isOk());
}

TEST_F(OsFileTest, AFailedWriteSaysHowFarItGot) {
  rt::OsFile file;
  ASSERT_TRUE(file.open(dir / "F.TXT", OpenMode::Write).isOk());
  rt::failWritesAfter(4, rt::dos::DiskFull);
  std::size_t written = 0;
  const rt::Status s = file.write("0123456789", &written);
  EXPECT_EQ(s.code(), StatusCode::DiskFull);
  EXPECT_EQ(s.osCode(), 112);
  EXPECT_EQ(s.message(), rt::dosErrorMessage(112));
  EXPECT_EQ(written, 4u);
  EXPECT_EQ(rt_test::readFile(dir / "F.TXT"), "0123");
}

TEST_F(OsFileTest, BlocksHandedOverAreWrittenInTurnAndTheirFailureSticks) {
  // Appends and blocks written in the background reach the file in the
  // order given; each block comes back as a buffer to fill again.
  {
    rt::OsFile file;
    ASSERT_TRUE(file.open(dir / "F.TXT", OpenMode::Write).isOk());
    rt::OutputFile out(std::move(file), 8);
    std::string block;
    std::string expected;
    for (int i = 0; i < 50; ++i) {
      out.append("<" + std::to_string(i) + ">");
      block.assign(std::string(static_cast<std::size_t>(i % 7) * 3000, static_cast<char>('a' + i % 26)));
      expected += "<" + std::to_string(i) + ">" + block;
      out.appendBlock(block);
    }
    out.append("end");
    expected += "end";
    ASSERT_TRUE(out.close());
    EXPECT_EQ(rt_test::readFile(dir / "F.TXT"), expected);
  }
  // A block that fails in the background fails the file: what follows is
  // not written, and the failure is the system's.
  rt::OsFile file;
  ASSERT_TRUE(file.open(dir / "G.TXT", OpenMode::Write).isOk());
  rt::OutputFile out(std::move(file));
  std::string block(100, 'x');
  rt::failWritesAfter(150, rt::dos::DiskFull);
  out.appendBlock(block);
  block.assign(100, 'y');
  out.appendBlock(block);
  block.assign(100, 'z');
  out.appendBlock(block);
  EXPECT_FALSE(out.close());
  EXPECT_EQ(out.status().code(), StatusCode::DiskFull);
  EXPECT_EQ(rt_test::readFile(dir / "G.TXT"), std::string(100, 'x') + std::string(50, 'y'));
}

TEST_F(OsFileTest, NamesAreRemovedRenamedAndKeepTheirPermissions) {
  dir.write("A", "a");
  dir.write("B", "b");
  std::filesystem::permissions(dir / "A", std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
  EXPECT_TRUE(rt::copyPermissions(dir / "A", dir / "B").isOk());
  EXPECT_EQ(std::filesystem::status(dir / "B").permissions(), std::filesystem::status(dir / "A").permissions());
  EXPECT_TRUE(rt::copyPermissions(dir / "NONE", dir / "B").isOk());
  EXPECT_TRUE(rt::renameFile(dir / "B", dir / "A").isOk());
  EXPECT_EQ(rt_test::readFile(dir / "A"), "b");
  EXPECT_TRUE(rt::removeFile(dir / "A").isOk());
  EXPECT_EQ(rt::removeFile(dir / "A").code(), StatusCode::NotFound);
  EXPECT_EQ(dir.listing(), "");
}

// One file by other names (another way through the folders, a hard link)
// is the same file; two files with the same bytes, or a name of nothing,
// are not.
TEST_F(OsFileTest, SameFileComparesFilesNotNames) {
  dir.write("sub/T.DBF", "table");
  dir.write("COPY.DBF", "table");
  std::filesystem::create_hard_link(dir / "sub/T.DBF", dir / "LINK.CSV");
  EXPECT_TRUE(rt::sameFile(dir / "sub/T.DBF", dir / "sub/../sub/T.DBF"));
  EXPECT_TRUE(rt::sameFile(dir / "LINK.CSV", dir / "sub/T.DBF"));
  EXPECT_FALSE(rt::sameFile(dir / "COPY.DBF", dir / "sub/T.DBF"));
  EXPECT_FALSE(rt::sameFile(dir / "NONE.CSV", dir / "NONE.CSV"));
}

}  // namespace
