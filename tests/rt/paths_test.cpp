#include "platform/rt/paths.hpp"

#include <gtest/gtest.h>

#include "tests/support/temp_dir.hpp"

namespace {

class PathsTest : public testing::Test {
 protected:
  void SetUp() override {
    dir.write("Data/Orders.dbf", "x");
    dir.write("Data/sub.dir/Memo.FPT", "x");
  }
  rt_test::TempDir dir;
};

TEST_F(PathsTest, ResolvesEveryComponentIgnoringCaseWithEitherSeparator) {
  const std::string root = dir.path();
  const char* names[] = {"/DATA/ORDERS.DBF", "\\DATA\\ORDERS.DBF", "/data\\orders.DBF", "//Data//Orders.dbf"};
  for (const char* name : names) EXPECT_EQ(rt::resolvePath(root + name), root + "/Data/Orders.dbf") << name;
  EXPECT_EQ(rt::resolvePath(root + "\\DATA\\SUB.DIR\\MEMO.FPT"), root + "/Data/sub.dir/Memo.FPT");
}

TEST_F(PathsTest, RelativeNamesResolveFromTheCurrentDirectory) {
  dir.enter();
  EXPECT_EQ(rt::resolvePath("DATA\\ORDERS.DBF"), "Data/Orders.dbf");
  EXPECT_EQ(rt::resolvePath(".\\data\\..\\DATA\\orders.dbf"), "./Data/../Data/Orders.dbf");
  EXPECT_EQ(rt::resolvePath("DATA\\"), "Data/");
  EXPECT_EQ(rt::resolvePath(""), "");
}

TEST_F(PathsTest, AnExactMatchComesFirst) {
  dir.write("Data/ORDERS.DBF", "exact");
  dir.write("Data/orders.DBF", "other");
  EXPECT_EQ(rt::resolvePath(dir / "DATA/ORDERS.DBF"), dir / "Data/ORDERS.DBF");
  EXPECT_EQ(rt::resolvePath(dir / "DATA/Orders.DBF"), dir / "Data/ORDERS.DBF");  // first in byte order
}

TEST_F(PathsTest, ANewFileKeepsItsNameInTheResolvedDirectory) {
  EXPECT_EQ(rt::resolvePath(dir / "DATA\\ORDERS.CSV"), dir / "Data/ORDERS.CSV");
  EXPECT_EQ(rt::resolvePath(dir / "NEW\\SUB\\X.CSV"), dir / "NEW/SUB/X.CSV");
}

TEST_F(PathsTest, AShownNameKeepsTheFoldersOnDiskAndUpperCasesTheRest) {
  dir.enter();
  const std::pair<std::string, std::string> cases[] = {
      {"data/orders.dbf", "Data/ORDERS.DBF"},
      {"DATA\\SUB.DIR\\memo.fpt", "Data/sub.dir/MEMO.FPT"},
      {"data/new/orders.csv", "Data/NEW/ORDERS.CSV"},
      {"data/", "Data/"},
      {"orders.csv", "ORDERS.CSV"},
      {"c:\\nowhere\\t.dbf", "C:\\NOWHERE\\T.DBF"},  // nothing on disk: as given
      {"", ""},
  };
  for (const auto& [name, shown] : cases) EXPECT_EQ(rt::shownPath(name), shown) << name;
  EXPECT_EQ(rt::shownPath(dir / "data/orders.dbf"), dir / "Data/ORDERS.DBF");
}

TEST_F(PathsTest, FileTellsWhetherAFileExists) {
  EXPECT_TRUE(rt::file(dir / "DATA\\ORDERS.DBF"));
  EXPECT_FALSE(rt::file(dir / "DATA\\ORDERS.CSV"));
  EXPECT_FALSE(rt::file(dir / "DATA"));  // a directory is no file
  EXPECT_FALSE(rt::file(""));
  EXPECT_TRUE(rt::file(dir / "DATA\\*.DBF"));
  EXPECT_TRUE(rt::file(dir / "data/ORDERS.DB?"));
  EXPECT_FALSE(rt::file(dir / "DATA\\*.CSV"));
  dir.enter();
  EXPECT_TRUE(rt::file("data\\sub.dir\\memo.fpt"));
  EXPECT_FALSE(rt::file("*.DBF"));
}

TEST_F(PathsTest, DirAndBaseName) {
  EXPECT_EQ(rt::dirName("/a/b/C.DBF"), "/a/b");
  EXPECT_EQ(rt::dirName("C.DBF"), ".");
  EXPECT_EQ(rt::dirName("/C.DBF"), "/");
  EXPECT_EQ(rt::baseName("a\\b\\C.DBF"), "C.DBF");
}

}  // namespace
