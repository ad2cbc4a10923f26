// Every real table of the shared corpus: the tables its MANIFEST marks
// checked give, value by value, the oracle's exact expected output; the
// others fail to open with a clear message or read without harm.
#include <cstdio>
#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/db/engine.hpp"
#include "platform/db/workarea.hpp"
#include "platform/db/workarea_test_helper.hpp"
#include "platform/rt/settings.hpp"
#include "tests/db/db_test_util.hpp"
#include "tests/support/temp_dir.hpp"

namespace {

struct CorpusTable {
  std::string path;
  bool checked;
};

std::vector<CorpusTable> manifestTables(bool checked) {
  const std::string dir = DBF2CSV_CORPUS_DIR;
  std::ifstream in(dir + "/MANIFEST.md");
  std::vector<CorpusTable> tables;
  std::string line, folder;
  while (std::getline(in, line)) {
    if (line.rfind("### ", 0) == 0) folder = line.substr(4);
    if (line.rfind("| `", 0) != 0 || folder.empty()) continue;
    std::vector<std::string> cells;
    std::size_t start = 1;
    for (std::size_t bar; (bar = line.find('|', start)) != std::string::npos; start = bar + 1) {
      cells.push_back(line.substr(start, bar - start));
    }
    if (cells.size() < 9) continue;
    const std::string name = cells[0].substr(cells[0].find('`') + 1, cells[0].rfind('`') - cells[0].find('`') - 1);
    const bool isChecked = cells[8].find("NOT") == std::string::npos;
    if (isChecked == checked) tables.push_back({dir + "/" + folder + name, isChecked});
  }
  return tables;
}

std::string oracleOutput(const std::string& table) {
  const std::string command = std::string("/usr/bin/python3 '") + DBF2CSV_ORACLE + "' --names '" +
                              table + "' 2>/dev/null";
  std::string out;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buf[65536];
    for (std::size_t n; (n = fread(buf, 1, sizeof buf, pipe)) > 0;) out.append(buf, n);
    pclose(pipe);
  }
  return out;
}

std::string displayName(const testing::TestParamInfo<CorpusTable>& info) {
  std::string name = info.param.path.substr(std::string(DBF2CSV_CORPUS_DIR).size() + 1);
  for (char& c : name)
    if (!isalnum(static_cast<unsigned char>(c))) c = '_';
  return name;
}

class CorpusTest : public db_test::WithDrivers<testing::TestWithParam<CorpusTable>> {
 protected:
  void SetUp() override {
    WithDrivers::SetUp();
    rt::set(rt::Set::Deleted, true);
  }

  // Opens the table as the program's probe would, first DBFNTX then FOXCDX;
  // the driver that opened it, "" when none did (`why` then says why not).
  std::string probe(const std::string& path, std::string& why) {
    for (const char* driver : {"DBFNTX", "FOXCDX"}) {
      std::optional<std::string> error = db_test::openUnder(driver, path);
      if (!error) return driver;
      why = *error;
    }
    return "";
  }
};

TEST_P(CorpusTest, ReadsAsTheOracleExpects) {
  const CorpusTable& t = GetParam();
  const std::string bytes = rt_test::readFile(t.path);
  ASSERT_FALSE(bytes.empty());
  const auto version = static_cast<unsigned char>(bytes[0]);
  const bool fox = (version >= 0x30 && version <= 0x32) || version == 0xF5;
  std::string why;
  ASSERT_EQ(probe(t.path, why), fox ? "FOXCDX" : "DBFNTX") << why;
  std::string mine;
  std::optional<std::string> error = db_test::caught([&] { mine = db_test::exportCurrentArea(true); });
  ASSERT_FALSE(error) << *error;
  const std::string expected = oracleOutput(t.path);
  ASSERT_FALSE(expected.empty());
  EXPECT_EQ(mine, expected);
}

INSTANTIATE_TEST_SUITE_P(Checked, CorpusTest, testing::ValuesIn(manifestTables(true)), displayName);

// The tables the oracle cannot vouch for, and what each gives: the text of
// the error that keeps it from opening ("@" stands for the table's path), or
// "" when it opens and reads as the oracle's best guess.
struct Unchecked {
  const char* table;
  const char* error;
};

const Unchecked kUnchecked[] = {
    {"infused-dbf/dbase_83_missing_memo.dbf", "Memo file @ of the table not found"},
    {"albfernandez-javadbf/student.dbf", "Memo file @ of the table not found"},
    {"infused-dbf/polygon.dbf", "Table header damaged: @: the table has no fields"},
    {"mbostock-shapefile/empty.dbf", "Table header damaged: @: the table has no fields"},
    {"tmontaigu-dbase-rs/stations_with_deleted.dbf",
     "Table header damaged: @: the fields need 1017 bytes per record but the header gives 1016"},
    {"infused-dbf/dbase_02.dbf", ""},
    {"yellowfeather-DbfDataReader/FolderRoot.dbf", ""},
    {"SebastiaanKlippert-go-foxpro-dbf/dbase_03.dbf", ""},
};

std::string expectedError(const Unchecked& u, const std::string& path) {
  std::string text = u.error;
  const std::size_t at = text.find('@');
  if (at == std::string::npos) return text;
  // A missing memo file is named after the table, with the DBT extension.
  const std::string named = text.rfind("Memo", 0) == 0 ? path.substr(0, path.rfind('.')) + ".DBT" : path;
  return text.replace(at, 1, named);
}

TEST(UncheckedCorpus, ExpectationsCoverEveryTableTheManifestLeavesUnchecked) {
  std::vector<std::string> listed, expected;
  for (const CorpusTable& t : manifestTables(false)) listed.push_back(t.path);
  for (const Unchecked& u : kUnchecked) expected.push_back(std::string(DBF2CSV_CORPUS_DIR) + "/" + u.table);
  std::sort(listed.begin(), listed.end());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(listed, expected);
}

class UncheckedCorpusTest : public CorpusTest {};

TEST_F(UncheckedCorpusTest, OpensAndReadsAsTheOracleGuessesOrSaysWhyNot) {
  for (const Unchecked& u : kUnchecked) {
    SCOPED_TRACE(u.table);
    db::closeAll();
    const std::string path = std::string(DBF2CSV_CORPUS_DIR) + "/" + u.table;
    std::string why;
    const std::string driver = probe(path, why);
    if (*u.error) {
      EXPECT_EQ(driver, "");
      EXPECT_EQ(why, expectedError(u, path));
      continue;
    }
    ASSERT_NE(driver, "") << why;
    std::string mine;
    std::optional<std::string> error = db_test::caught([&] { mine = db_test::exportCurrentArea(true); });
    ASSERT_FALSE(error) << *error;
    EXPECT_EQ(mine, oracleOutput(path));
  }
}

}  // namespace
