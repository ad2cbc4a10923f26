#include "platform/rt/output_file.hpp"

#include <fcntl.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/rt/temp_dir.hpp"

namespace {

class OutputFileTest : public testing::Test {
 protected:
  void TearDown() override { rt::failWritesAfter(0, 0); }

  rt::OutputFile open(const std::string& name, size_t block) {
    int fd = ::open((dir / name).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    EXPECT_GE(fd, 0);
    return rt::OutputFile(fd, block);
  }
  std::string read(const std::string& name) const { return rt_test::readFile(dir / name); }

  rt_test::TempDir dir;
};

// The threads of this process: the writer threads running beside the test's own.
size_t threadCount() {
  size_t n = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator("/proc/self/task")) ++n;
  return n;
}

// Pieces of the given sizes, each of a letter of its own, so that a piece
// written out of order or twice shows in the file.
std::vector<std::string> piecesOf(const std::vector<size_t>& sizes) {
  std::vector<std::string> pieces;
  for (size_t i = 0; i < sizes.size(); ++i) pieces.emplace_back(sizes[i], static_cast<char>('a' + i % 26));
  return pieces;
}

TEST_F(OutputFileTest, BlocksReachTheFileInOrder) {
  struct Case {
    const char* what;
    size_t block;
    std::vector<size_t> sizes;
  };
  const std::vector<Case> cases = {
      {"small pieces over many blocks", 16, std::vector<size_t>(500, 5)},
      {"pieces that fill a block exactly", 8, std::vector<size_t>(200, 8)},
      {"pieces larger than the block between small ones", 16, {3, 40, 5, 16, 1, 100, 7, 15, 2}},
      {"one byte blocks", 1, {1, 2, 3, 1, 1, 4}},
      {"no block ever full", 1024, {10, 20, 30}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::string expected;
    rt::OutputFile out = open("OUT.CSV", c.block);
    for (const std::string& piece : piecesOf(c.sizes)) {
      out.append(piece);
      expected += piece;
    }
    EXPECT_TRUE(out.close());
    EXPECT_EQ(out.error(), 0);
    EXPECT_EQ(read("OUT.CSV"), expected);
  }
}

TEST_F(OutputFileTest, TheFirstFailureOfTheWriterThreadIsKeptAndNothingFollows) {
  rt::OutputFile out = open("OUT.CSV", 16);
  rt::failWritesAfter(40, ENOSPC);
  std::string all;
  for (const std::string& piece : piecesOf(std::vector<size_t>(20, 10))) {
    out.append(piece);
    all += piece;
  }
  EXPECT_FALSE(out.flush());
  EXPECT_EQ(out.error(), ENOSPC);
  rt::failWritesAfter(0, EIO);  // a later, different failure does not replace the first
  out.append(std::string(50, 'z'));
  rt::failWritesAfter(0, 0);  // nor does the disk having room again let more through
  out.append(std::string(50, 'z'));
  EXPECT_FALSE(out.close());
  EXPECT_EQ(out.error(), ENOSPC);
  EXPECT_EQ(read("OUT.CSV"), all.substr(0, 40));
}

TEST_F(OutputFileTest, AFailureBeforeAnyThreadIsReportedTheSameWay) {
  rt::OutputFile out = open("OUT.CSV", 1024);
  rt::failWritesAfter(4, EIO);
  out.append("\"A line\"\r\n");
  EXPECT_EQ(out.error(), 0);  // still in the block
  EXPECT_FALSE(out.close());
  EXPECT_EQ(out.error(), EIO);
  EXPECT_EQ(read("OUT.CSV"), "\"A l");
}

TEST_F(OutputFileTest, TheWriterThreadStartsWithTheFirstFullBlockAndEndsWithTheFile) {
  const size_t before = threadCount();
  {
    rt::OutputFile out = open("SMALL.CSV", 64);
    out.append(std::string(63, 's'));
    EXPECT_TRUE(out.flush());
    EXPECT_EQ(threadCount(), before);
    EXPECT_TRUE(out.close());
  }
  rt::OutputFile out = open("LARGE.CSV", 64);
  out.append(std::string(60, 'l'));
  out.append(std::string(10, 'l'));
  EXPECT_EQ(threadCount(), before + 1);
  EXPECT_TRUE(out.close());
  EXPECT_EQ(threadCount(), before);
  EXPECT_EQ(read("LARGE.CSV"), std::string(70, 'l'));
}

TEST_F(OutputFileTest, DestroyingOrMovingAFileWithARunningWriterLosesNothing) {
  const size_t before = threadCount();
  std::string expected;
  {
    rt::OutputFile out = open("KEPT.CSV", 8);
    for (const std::string& piece : piecesOf(std::vector<size_t>(50, 3))) {
      out.append(piece);
      expected += piece;
    }
    rt::OutputFile moved = std::move(out);
    moved.append("tail");
    expected += "tail";
    out = open("OTHER.CSV", 8);  // the moved-from file takes a new one
    out.append(std::string(20, 'o'));
  }
  EXPECT_EQ(threadCount(), before);
  EXPECT_EQ(read("KEPT.CSV"), expected);
  EXPECT_EQ(read("OTHER.CSV"), std::string(20, 'o'));
}

}  // namespace
