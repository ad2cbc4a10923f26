// The job file: splitting at the separator, the table name and the flag.
#include <filesystem>

#include <gtest/gtest.h>

#include "src/app/job_file.hpp"
#include "tests/support/temp_dir.hpp"

namespace {

using Elements = std::vector<std::string>;

TEST(Str2Array, SplitsAtEverySeparator) {
  struct Case {
    std::string text;
    std::string separator;
    Elements elements;
  };
  const Case cases[] = {
      {"A|B|C", "|", {"A", "B", "C"}},
      {"A||C", "|", {"A", "", "C"}},
      {"A|B|", "|", {"A", "B"}},
      {"|A", "|", {"", "A"}},
      {"", "|", {}},
      {"ABC", "|", {"ABC"}},
      {"A::B", "::", {"A", "B"}},
      {"A:B", "::", {"A:B"}},
      {" A | B\r\n", "|", {" A ", " B\r\n"}},
      {"||", "|", {"", ""}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(app::str2Array(c.text, c.separator), c.elements) << c.text;
  }
}

TEST(Str2Array, WithoutASeparatorSplitsAtBytes222222) {
  const std::string sep(2, static_cast<char>(222));
  EXPECT_EQ(app::str2Array("A" + sep + "B" + sep + "C|D"), (Elements{"A", "B", "C|D"}));
  EXPECT_EQ(app::str2Array("A" + sep.substr(1) + "B"), (Elements{"A\xDE" "B"}));
}

TEST(ReadJobFile, TakesTableAndFlagAndErasesTheFile) {
  struct Case {
    std::string content;
    std::string table;
    bool fieldLine;
  };
  const Case cases[] = {
      {"orders|x|T\r\n", "orders", true},
      {"C:\\DATA\\ORDERS.DBF|DBFNTX|F", "C:\\DATA\\ORDERS.DBF", false},
      {"orders||t", "orders", false},
      {"orders||TRUE|more|elements", "orders", true},
      {"||T", "", true},
      {" orders ||F", " orders ", false},
  };
  for (const auto& c : cases) {
    rt_test::TempDir dir;
    dir.enter();
    dir.write("RAZAVOZ.INP", c.content);
    std::optional<std::string> cTable = "from the command line";
    bool lFieldLine = !c.fieldLine;
    EXPECT_EQ(app::readJobFile(cTable, lFieldLine), app::JobFile::Read) << c.content;
    EXPECT_EQ(cTable, c.table) << c.content;
    EXPECT_EQ(lFieldLine, c.fieldLine) << c.content;
    EXPECT_FALSE(std::filesystem::exists(dir / "RAZAVOZ.INP"));
  }
}

TEST(ReadJobFile, FewerThanThreeElementsIsIncompleteAndTheFileIsGoneAllTheSame) {
  for (const std::string content : {"", "orders", "orders|x", "orders|x|"}) {
    rt_test::TempDir dir;
    dir.enter();
    dir.write("RAZAVOZ.INP", content);
    std::optional<std::string> cTable;
    bool lFieldLine = true;
    EXPECT_EQ(app::readJobFile(cTable, lFieldLine), app::JobFile::Incomplete) << content;
    EXPECT_FALSE(cTable.has_value());
    EXPECT_FALSE(std::filesystem::exists(dir / "RAZAVOZ.INP"));
  }
}

TEST(ReadJobFile, WithoutAJobFileNothingChanges) {
  rt_test::TempDir dir;
  dir.enter();
  std::optional<std::string> cTable = "orders";
  bool lFieldLine = false;
  EXPECT_EQ(app::readJobFile(cTable, lFieldLine), app::JobFile::Absent);
  EXPECT_EQ(cTable, "orders");
  EXPECT_FALSE(lFieldLine);
}

}  // namespace
