// CHECKTABLE: the validation of the table-name field, with the tables on
// disk and the messages recorded by a scripted toolkit.
#include <gtest/gtest.h>

#include "platform/db/workarea.hpp"
#include "platform/db/workarea_test_helper.hpp"
#include "platform/rt/settings.hpp"
#include "src/app/check_table.hpp"
#include "src/app/open_table.hpp"
#include "src/runtime/startup.hpp"
#include "tests/support/scratch_dir.hpp"
#include "tests/support/dbf_writer.hpp"
#include "tests/support/fake_toolkit.hpp"

namespace {

constexpr const char* kNotEmpty =
    "YOU CAN NOT LEAVE THIS EMPTY.;USE THE [...] BUTTON TO TAG A TABLE NAME.";

class CheckTableTest : public testing::Test {
 protected:
  void SetUp() override {
    db::closeAll();
    app::forgetCheckedTable();
    runtime::dbeSys();
    writeTable("ORDERS.DBF", {{"NAME", 'C', 10}, {"QTY", 'N', 5}});
    writeTable("CUSTOMERS.DBF", {{"CUSTNO", 'N', 6}, {"CITY", 'C', 20}, {"SINCE", 'D', 8}});
    dir.write("BROKEN.DBF", "not a table, whatever its name says");
  }
  void TearDown() override { db::closeAll(); }

  void writeTable(const std::string& name, std::vector<test_support::FieldSpec> fields) {
    test_support::TableShape shape;
    shape.fields = std::move(fields);
    test_support::DbfWriter writer((dir.path() / name).string(), shape);
    writer.finish();
  }

  std::vector<std::string> messages() { return (*fake).texts("guiAlert"); }
  static int fieldsOfInput() {
    return db::inArea(db::select("INPUT"), [] { return db::fCount(); });
  }

  app_test::ScratchDir dir;
  testing_support::ScopedFakeToolkit fake;
  std::string rcDriver = "BEFORE";
};

struct Rejected {
  std::string cTable;
  std::string message;
  std::string driverAfter;
};

TEST_F(CheckTableTest, RejectsEachBadNameWithItsMessageAndOpensNothing) {
  const std::vector<Rejected> cases = {
      {std::string(60, ' '), kNotEmpty, "BEFORE"},
      {"", kNotEmpty, "BEFORE"},
      {"*.DBF", "NO WILDCARD CHARACTERS ALLOWED.", "BEFORE"},
      {"ORD?RS.DBF", "NO WILDCARD CHARACTERS ALLOWED.", "BEFORE"},
      {"C:\\DATA\\*.DBF", "NO WILDCARD CHARACTERS ALLOWED.", "BEFORE"},
      {"MISSING.DBF", "FILE MISSING.DBF NOT FOUND.;;USE [...] BUTTON TO TAG A TABLE NAME.",
       "BEFORE"},
      // No extension is added here: only ORDERS.DBF exists.
      {"ORDERS      ", "FILE ORDERS NOT FOUND.;;USE [...] BUTTON TO TAG A TABLE NAME.", "BEFORE"},
      {"  BROKEN.DBF  ", "NOT ABLE TO OPEN BROKEN.DBF", ""},
  };
  for (const Rejected& c : cases) {
    SCOPED_TRACE("[" + c.cTable + "]");
    (*fake).shown.clear();
    rcDriver = "BEFORE";
    EXPECT_FALSE(app::checkTable(c.cTable, rcDriver));
    EXPECT_EQ(messages(), std::vector<std::string>{c.message});
    EXPECT_EQ((*fake).shown.at(0).title, "Alert");
    EXPECT_EQ(rcDriver, c.driverAfter);
    EXPECT_EQ(db::select("INPUT"), 0);
  }
}

TEST_F(CheckTableTest, AcceptedNameIsOpenedExclusivelyUnderInputWithItsDriver) {
  EXPECT_TRUE(app::checkTable("  orders.dbf" + std::string(48, ' '), rcDriver));
  EXPECT_TRUE(messages().empty());
  EXPECT_GT(db::select("INPUT"), 0);
  EXPECT_EQ(rcDriver, "DBFNTX");
  EXPECT_EQ(fieldsOfInput(), 2);
  std::string other;
  EXPECT_FALSE(app::openTable(other, "ORDERS.DBF", "OTHER", true)) << "opened exclusively";
}

TEST_F(CheckTableTest, RepeatedCheckOfTheSameNameOpensNothingMore) {
  ASSERT_TRUE(app::checkTable("ORDERS.DBF", rcDriver));
  const int area = db::select("INPUT");
  rcDriver = "KEPT";
  EXPECT_TRUE(app::checkTable("ORDERS.DBF   ", rcDriver));
  EXPECT_TRUE(messages().empty());
  EXPECT_EQ(db::select("INPUT"), area);
  EXPECT_EQ(db::workspaceList().size(), 1u);
  EXPECT_EQ(rcDriver, "KEPT");
}

// An edit after a passed check names another table: the first one must not
// be exported under the new name.
TEST_F(CheckTableTest, EditedNameClosesTheOpenTableAndIsCheckedInFull) {
  ASSERT_TRUE(app::checkTable("ORDERS.DBF", rcDriver));
  EXPECT_TRUE(app::checkTable("CUSTOMERS.DBF", rcDriver));
  EXPECT_EQ(fieldsOfInput(), 3);
  EXPECT_EQ(db::workspaceList().size(), 1u);
  EXPECT_EQ(rcDriver, "DBFNTX");

  EXPECT_FALSE(app::checkTable("MISSING.DBF", rcDriver));
  EXPECT_EQ(messages(), std::vector<std::string>{
                            "FILE MISSING.DBF NOT FOUND.;;USE [...] BUTTON TO TAG A TABLE NAME."});
  EXPECT_EQ(db::select("INPUT"), 0);
  EXPECT_TRUE(db::workspaceList().empty());
}

TEST_F(CheckTableTest, InputOpenedElsewhereIsNotTakenForTheCheckedName) {
  std::string driver;
  ASSERT_TRUE(app::openTable(driver, "CUSTOMERS.DBF", "INPUT", true));
  EXPECT_TRUE(app::checkTable("ORDERS.DBF", rcDriver));
  EXPECT_EQ(fieldsOfInput(), 2);
}

}  // namespace
