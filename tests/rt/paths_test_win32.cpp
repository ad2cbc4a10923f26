// The Windows name layer: drives, and names of every form Windows has (UNC
// names \\server\share\..., and "\\?\" and "\\.\" before a name, which
// Windows takes without parsing it, so that only "\" separates there).
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/rt/atomic_file.hpp"
#include "platform/rt/os_file.hpp"
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

TEST(PathsWin32Test, NamesOfEveryFormSplitIntoFolderAndFileAndStayAsGiven) {
  struct Case {
    std::string name, folder, file, shown;
  };
  const Case cases[] = {
      {"\\\\server\\share\\dir\\t.dbf", "\\\\server\\share\\dir", "t.dbf", "\\\\SERVER\\SHARE\\DIR\\T.DBF"},
      {"\\\\server\\share\\T.DBF", "\\\\server\\share", "T.DBF", "\\\\SERVER\\SHARE\\T.DBF"},
      {"//server/share/dir/T.DBF", "//server/share/dir", "T.DBF", "//SERVER/SHARE/DIR/T.DBF"},
      {"\\\\?\\c:\\dir\\t.dbf", "\\\\?\\c:\\dir", "t.dbf", "\\\\?\\C:\\DIR\\T.DBF"},
      {"\\\\?\\UNC\\server\\share\\T.DBF", "\\\\?\\UNC\\server\\share", "T.DBF", "\\\\?\\UNC\\SERVER\\SHARE\\T.DBF"},
      {"\\\\.\\C:\\Dir.dbf\\T", "\\\\.\\C:\\Dir.dbf", "T", "\\\\.\\C:\\DIR.DBF\\T"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(rt::dirName(c.name), c.folder) << c.name;
    EXPECT_EQ(rt::baseName(c.name), c.file) << c.name;
    EXPECT_EQ(rt::resolvePath(c.name), c.name);
    EXPECT_EQ(rt::shownPath(c.name), c.shown);
  }
}

// The names one folder has: as the system gives it (C:\...), with "\\?\"
// and "\\.\" before it, and through the share of its drive on the server
// DBF2CSV_TEST_SERVER (\\SERVER\c$\..., as Windows shares its drives;
// tests/windows/run.sh makes them under Wine), also as "\\?\UNC\...".
std::vector<std::string> namesOf(const std::string& folder) {
  std::vector<std::string> names = {folder, "\\\\?\\" + folder, "\\\\.\\" + folder};
  const char* server = std::getenv("DBF2CSV_TEST_SERVER");
  if (server && *server && folder.size() > 2 && folder[1] == ':') {
    const std::string share = std::string(server) + "\\" + static_cast<char>(folder[0] | 0x20) + "$";
    names.push_back("\\\\" + share + folder.substr(2));
    names.push_back("\\\\?\\UNC\\" + share + folder.substr(2));
  }
  return names;
}

TEST(PathsWin32Test, ATableIsFoundAndItsOutputWrittenBesideItInAFolderOfEveryForm) {
  rt_test::TempDir dir;
  dir.write("T.DBF", "table");
  const std::vector<std::string> folders = namesOf(dir.path());
  if (std::getenv("DBF2CSV_TEST_SERVER")) {
    EXPECT_EQ(folders.size(), 5u) << dir.path();
  }
  for (const std::string& folder : folders) {
    SCOPED_TRACE(folder);
    EXPECT_TRUE(rt::file(folder + "\\t.dbf"));
    EXPECT_TRUE(rt::file(folder + "\\*.DBF"));
    EXPECT_FALSE(rt::file(folder + "\\T.CSV"));
    EXPECT_FALSE(rt::file(folder));
    rt::OsFile table;
    EXPECT_TRUE(table.open(folder + "\\T.DBF").isOk());
    EXPECT_TRUE(table.lock(false).isOk());
    table = rt::OsFile();
    {
      rt::AtomicFile out(folder + "\\T.CSV");
      ASSERT_TRUE(out.ok()) << out.status().message();
      EXPECT_EQ(rt::dirName(out.tempPath()), folder);
      out.append("\"x\"\r\n");
      EXPECT_TRUE(out.commit().isOk()) << out.status().message();
    }
    EXPECT_EQ(rt_test::readFile(dir / "T.CSV"), "\"x\"\r\n");
    EXPECT_EQ(dir.listing(), "T.CSV T.DBF");
    EXPECT_TRUE(rt::removeFile(folder + "\\T.CSV").isOk());
  }
}

}  // namespace
