// OPENTABLE: the first of the seven driver names that opens the table wins;
// refusals are contained; the error block in force is left as it was.
#include <gtest/gtest.h>

#include <fstream>

#include "platform/db/data_engines.hpp"
#include "platform/db/engine.hpp"
#include "platform/db/engine_test_helper.hpp"
#include "platform/db/workarea.hpp"
#include "platform/db/workarea_test_helper.hpp"
#include "platform/rt/error_block.hpp"
#include "platform/rt/call_frame.hpp"
#include "platform/rt/error_codes.hpp"
#include "src/app/open_table.hpp"
#include "tests/support/scratch_dir.hpp"
#include "tests/support/dbf_writer.hpp"
#include "tests/support/test_drivers.hpp"

namespace {

using test_support::DbfWriter;
using test_support::MemoLayout;
using test_support::TableShape;

// An engine that refuses every table, as a driver that cannot read it would.
class RefusingEngine : public db::DataEngine {
 public:
  std::unique_ptr<db::Table> open(const std::string& path, bool) override {
    (void)rt::raise(rt::makeError(rt::Condition::TableVersion, path, "DBUSEAREA", 0, {}, {path, "0x03"}));
    return nullptr;
  }
};

// An engine that notes the routines on the call stack, then opens as DBFDBE.
class WitnessEngine : public db::DataEngine {
 public:
  std::unique_ptr<db::Table> open(const std::string& path, bool shared) override {
    for (int level = 0; !rt::procName(level).empty(); ++level) callers.push_back(rt::procName(level));
    return db::makeDbaseEngine()->open(path, shared);
  }
  std::vector<std::string> callers;
};

class OpenTable : public testing::Test {
 protected:
  void SetUp() override { test_support::loadAllDrivers(); }
  void TearDown() override {
    db::closeAll();
    test_support::loadAllDrivers();
  }

  void write(const std::string& name, std::uint8_t version, MemoLayout memo = MemoLayout::None) {
    TableShape shape;
    shape.version = version;
    shape.fields = {{"NAME", 'C', 4}};
    if (memo != MemoLayout::None) shape.fields.push_back({"NOTES", 'M', version >= 0x30 && version <= 0x32 ? 4 : 10});
    shape.memo = memo;
    DbfWriter w(name, shape);
    w.append({"abc"});
  }

  // Every error that reaches the block in force outside OPENTABLE.
  std::vector<rt::ErrorPtr> reached_;
  rt::ErrorBlockGuard outer_{[this](const rt::ErrorPtr& e) {
    reached_.push_back(e);
    return rt::Value(false);
  }};
  app_test::ScratchDir dir_;
};

TEST_F(OpenTable, TheFirstDriverThatOpensTheTableIsNamed) {
  struct Case {
    std::uint8_t version;
    MemoLayout memo;
    const char* driver;
  };
  const Case cases[] = {
      {0x03, MemoLayout::None, "DBFNTX"},   {0x83, MemoLayout::DbtIII, "DBFNTX"},
      {0x8B, MemoLayout::DbtIV, "DBFNTX"},  {0x8C, MemoLayout::DbtIV, "DBFNTX"},
      {0xF5, MemoLayout::Fpt, "FOXCDX"},    {0x30, MemoLayout::Fpt, "FOXCDX"},
      {0x31, MemoLayout::None, "FOXCDX"},   {0x32, MemoLayout::Fpt, "FOXCDX"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.version));
    write("orders.dbf", c.version, c.memo);
    std::string driver = "before";
    EXPECT_TRUE(app::openTable(driver, "  ORDERS.DBF  ", "INPUT", true));
    EXPECT_EQ(driver, c.driver);
    EXPECT_EQ(db::currentArea(), db::select("INPUT"));
    EXPECT_EQ(db::fieldGet(1).text(), "abc ");
    db::closeAll();
  }
  EXPECT_TRUE(reached_.empty());
}

TEST_F(OpenTable, AMissingFileLeavesTheDriverUntouched) {
  std::string driver = "earlier";
  EXPECT_FALSE(app::openTable(driver, "NOWHERE.DBF", "INPUT", true));
  EXPECT_EQ(driver, "earlier");
  EXPECT_TRUE(db::workspaceList().empty());
  EXPECT_TRUE(reached_.empty());
}

TEST_F(OpenTable, AFileNoDriverOpensGivesNoDriverAndShowsNothing) {
  std::ofstream("NOTES.DBF") << "just some text, no table at all";
  std::string driver = "earlier";
  EXPECT_FALSE(app::openTable(driver, "NOTES.DBF", "INPUT", true));
  EXPECT_EQ(driver, "");
  EXPECT_TRUE(db::workspaceList().empty());
  EXPECT_TRUE(reached_.empty());
}

TEST_F(OpenTable, ATableTheFirstDriverRefusesOpensUnderTheSecond) {
  db::installTestEngine("REFUSEDBE", std::make_shared<RefusingEngine>());
  db::resetEngines();
  for (const char* e : {"DBFDBE", "NTXDBE", "CDXDBE", "REFUSEDBE"}) ASSERT_TRUE(db::dbeLoad(e, true));
  ASSERT_TRUE(db::dbeBuild("DBFNTX", "REFUSEDBE", "NTXDBE"));
  ASSERT_TRUE(db::dbeBuild("DBFCDX", "DBFDBE", "CDXDBE"));
  write("ORDERS.DBF", 0x03);
  std::string driver;
  EXPECT_TRUE(app::openTable(driver, "ORDERS.DBF", "INPUT", false));
  EXPECT_EQ(driver, "DBFCDX");
  EXPECT_TRUE(reached_.empty());
}

TEST_F(OpenTable, ATableHeldExclusivelyElsewhereDoesNotOpen) {
  write("ORDERS.DBF", 0x03);
  std::string driver;
  ASSERT_TRUE(app::openTable(driver, "ORDERS.DBF", "FIRST", false));
  EXPECT_FALSE(app::openTable(driver, "ORDERS.DBF", "INPUT", true));
  EXPECT_EQ(driver, "");
  EXPECT_EQ(db::select("INPUT"), 0);
  EXPECT_TRUE(reached_.empty());
}

TEST_F(OpenTable, TheErrorBlockInForceIsTheSameAfterwards) {
  write("ORDERS.DBF", 0x03);
  std::ofstream("NOTES.DBF") << "no table";
  std::string driver;
  EXPECT_TRUE(app::openTable(driver, "ORDERS.DBF", "INPUT", true));
  EXPECT_FALSE(app::openTable(driver, "NOTES.DBF", "OTHER", true));
  (void)rt::raise(rt::makeError(rt::Condition::NoAlias, "", "SELECT", 0, {}, {"X"}));
  ASSERT_EQ(reached_.size(), 1u);
  EXPECT_EQ(reached_[0]->description, "Alias X does not exist");
}

TEST_F(OpenTable, OpensInsideItsOwnCallFrame) {
  auto witness = std::make_shared<WitnessEngine>();
  db::installTestEngine("WITNESSDBE", witness);
  db::resetEngines();
  for (const char* e : {"WITNESSDBE", "NTXDBE"}) ASSERT_TRUE(db::dbeLoad(e, true));
  ASSERT_TRUE(db::dbeBuild("DBFNTX", "WITNESSDBE", "NTXDBE"));
  write("ORDERS.DBF", 0x03);
  std::string driver;
  ASSERT_TRUE(app::openTable(driver, "ORDERS.DBF", "INPUT", true));
  ASSERT_FALSE(witness->callers.empty());
  EXPECT_EQ(witness->callers[0], "OPENTABLE");
}

}  // namespace
