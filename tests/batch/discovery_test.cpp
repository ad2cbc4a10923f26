// Which tables a batch finds and where their CSV files and logs go.
#include "src/batch/discovery.hpp"

#include <gtest/gtest.h>

#include "tests/support/temp_dir.hpp"

namespace {

using batch::BatchOptions;
using batch::Table;

// One line per table: shown name, bytes, the files read beside it,
// output, log, problem; then one per input that names nothing.
std::string describe(const batch::Found& found) {
  std::string out;
  for (const Table& t : found.tables) {
    out += t.shown + " " + std::to_string(t.bytes);
    for (const std::string& c : t.companions) out += " +" + c;
    out += " " + t.output + " " + t.log + (t.problem.empty() ? "" : " | " + t.problem) + "\n";
  }
  for (const std::string& input : found.missing) out += "missing " + input + "\n";
  return out;
}

class Discovery : public testing::Test {
 protected:
  Discovery() {
    dir_.enter();
    dir_.write("data/ORDERS.DBF", std::string(100, 'o'));
    dir_.write("data/orders.dbt", std::string(50, 'm'));  // its memo file, found in any case
    dir_.write("data/items.Dbf", std::string(30, 'i'));
    dir_.write("data/notes.txt", "not a table");
    dir_.write("data/ITEMS.CSV", "an earlier output");
    dir_.write("data/Sub/Deep/X.DBF", std::string(10, 'x'));
    dir_.write("data/Sub/Y.FPT", "no table");
  }

  batch::Found find(BatchOptions options) { return batch::findTables(options); }

  rt_test::TempDir dir_;
};

TEST_F(Discovery, AFolderGivesItsTablesWithTheirMemoFilesAndTheOutputsASingleRunWouldWrite) {
  EXPECT_EQ(describe(find({.inputs = {"data/"}})),
            "data/ORDERS.DBF 150 +data/orders.dbt data/ORDERS.CSV data/ORDERS.LOG\n"
            "data/items.Dbf 30 data/ITEMS.CSV data/ITEMS.LOG\n");
}

TEST_F(Discovery, RecursiveIntoAnOutputFolderKeepsTheSubfolders) {
  EXPECT_EQ(describe(find({.inputs = {"data"}, .recursive = true, .outputFolder = "out"})),
            "data/ORDERS.DBF 150 +data/orders.dbt out/ORDERS.CSV out/ORDERS.LOG\n"
            "data/Sub/Deep/X.DBF 10 out/Sub/Deep/X.CSV out/Sub/Deep/X.LOG\n"
            "data/items.Dbf 30 out/ITEMS.CSV out/ITEMS.LOG\n");
}

// A folder's names are read once for all its tables; a table named alone
// is found by the program's own lookup. Both find the same files.
TEST_F(Discovery, MemoAndOutputFilesInAnotherLetterCaseAreFoundAsASingleRunFindsThem) {
  dir_.write("data/Sub/Deep/x.fpt", "12");
  dir_.write("data/Sub/Deep/X.fpt", "123");
  dir_.write("data/Sub/Deep/x.csv", "an earlier output");
  const std::string inFolder = describe(find({.inputs = {"data/Sub/Deep"}}));
  EXPECT_EQ(inFolder, "data/Sub/Deep/X.DBF 13 +data/Sub/Deep/X.fpt data/Sub/Deep/x.csv data/Sub/Deep/x.LOG\n");
  EXPECT_EQ(describe(find({.inputs = {"data/Sub/Deep/X.DBF"}})), inFolder);
}

// A name that is neither a folder nor a table, even with ".DBF" added and
// in any letter case, is missing: no run is started for it.
TEST_F(Discovery, TablesAreNamedAsForASingleRunAndTheCurrentFolderIsNotShown) {
  dir_.write("T.DBF", "t");
  EXPECT_EQ(describe(find({.inputs = {"data/orders", "data/missing.dbf", "./", "nowhere", "DATA/Items"}})),
            "data/orders 150 +data/orders.dbt data/ORDERS.CSV data/ORDERS.LOG\n"
            "T.DBF 1 T.CSV T.LOG\n"
            "DATA/Items 30 data/ITEMS.CSV data/ITEMS.LOG\n"
            "missing data/missing.dbf\n"
            "missing nowhere\n");
}

TEST_F(Discovery, ATableFoundTwiceIsKeptOnceAndTwoTablesOfOneOutputAreAProblem) {
  dir_.write("more/ORDERS.DBF", "other");
  EXPECT_EQ(describe(find({.inputs = {"data/ORDERS.DBF", "data", "more"}, .outputFolder = "out"})),
            "data/ORDERS.DBF 150 +data/orders.dbt out/ORDERS.CSV out/ORDERS.LOG\n"
            "data/items.Dbf 30 out/ITEMS.CSV out/ITEMS.LOG\n"
            "more/ORDERS.DBF 5 out/ORDERS.CSV out/ORDERS.LOG | Not converted: data/ORDERS.DBF "
            "gives the same file out/ORDERS.CSV.\n");
}

TEST_F(Discovery, AFolderThatCannotBeReadIsAProblemOfItsOwn) {
  if (geteuid() == 0) GTEST_SKIP() << "root reads every folder";
  std::filesystem::permissions(dir_ / "data/Sub", std::filesystem::perms::none);
  const auto found = find({.inputs = {"data"}, .recursive = true});
  std::filesystem::permissions(dir_ / "data/Sub", std::filesystem::perms::owner_all);
  EXPECT_EQ(describe(found),
            "data/ORDERS.DBF 150 +data/orders.dbt data/ORDERS.CSV data/ORDERS.LOG\n"
            "data/Sub 0   | Not able to read the folder: Permission denied.\n"
            "data/items.Dbf 30 data/ITEMS.CSV data/ITEMS.LOG\n");
}

TEST(LargestFirst, OrdersByBytesAndKeepsTheOrderOfEqualOnes) {
  std::vector<Table> tables{{.shown = "a", .bytes = 5}, {.shown = "b", .bytes = 9},
                            {.shown = "c", .bytes = 5}, {.shown = "d", .bytes = 0}};
  batch::largestFirst(tables);
  std::string order;
  for (const Table& t : tables) order += t.shown;
  EXPECT_EQ(order, "bacd");
}

}  // namespace
