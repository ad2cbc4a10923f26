// The private folders of a batch: the folders a batch that died left are
// removed by the next batch that makes one beside them; a folder a live
// batch holds, and a folder or file of the user's, never are.
#include "src/batch/private_folders.hpp"

#include <filesystem>
#include <set>
#include <string>

#include <gtest/gtest.h>

#include "tests/support/temp_dir.hpp"

namespace {

namespace fs = std::filesystem;

TEST(PrivateFolders, AFolderADeadBatchLeftGoesAndOneALiveBatchHoldsStays) {
  rt_test::TempDir dir;
  const fs::path out = dir / "out";
  const std::set<std::string> kept{".dbf2csv-notes/keep", ".dbf2csv-fedcba987654321", ".dbf2csv-fedcba9876543210"};
  dir.write("out/.dbf2csv-0123456789abcdef/.T.CSV.0123456789abcdef.tmp", "left by a batch killed");
  dir.write("out/.dbf2csv-notes/keep", "the user's");
  dir.write("out/.dbf2csv-fedcba9876543210", "a file");
  fs::create_directory(out / ".dbf2csv-fedcba987654321");  // a digit short

  batch::PrivateFolders live;
  std::error_code ec;
  const fs::path held = live.take(out.string(), ec);
  ASSERT_FALSE(held.empty()) << ec.message();
  EXPECT_FALSE(fs::exists(out / ".dbf2csv-0123456789abcdef"));
  dir.write((held / "T.DBF").lexically_relative(dir.path()).string(), "a table's stand-in");

  // A second batch in the same folder while the first lives.
  {
    batch::PrivateFolders second;
    const std::string its = second.take(out.string(), ec);
    ASSERT_FALSE(its.empty()) << ec.message();
    EXPECT_NE(its, held);
  }
  EXPECT_TRUE(fs::exists(held / "T.DBF"));
  live.removeAll();
  EXPECT_FALSE(fs::exists(held));
  std::set<std::string> left;  // the files and empty folders
  for (const auto& e : fs::recursive_directory_iterator(out)) {
    if (!e.is_directory() || fs::is_empty(e.path())) left.insert(e.path().lexically_relative(out).generic_string());
  }
  EXPECT_EQ(left, kept);
}

}  // namespace
