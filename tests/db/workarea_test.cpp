// The work-area manager and the engine registry: areas, aliases, the
// current area and its restoration, closing, and the drivers tables open
// through.
#include <gtest/gtest.h>

#include "platform/db/engine.hpp"
#include "platform/db/engine_test_helper.hpp"
#include "platform/db/workarea.hpp"
#include "platform/db/workarea_test_helper.hpp"
#include "tests/db/db_test_util.hpp"
#include "tests/support/dbf_writer.hpp"

namespace {

class WorkAreas : public db_test::WithDrivers<> {
 protected:
  void SetUp() override {
    WithDrivers::SetUp();
    for (const char* name : {"ONE", "TWO", "THREE"}) {
      test_support::TableShape shape;
      shape.fields = {{"NAME", 'C', 5}};
      test_support::DbfWriter(dir_.file(std::string(name) + ".DBF"), shape).append({name});
    }
  }

  void use(const std::string& table, const std::string& alias, bool newArea = true) {
    db::dbUseArea(newArea, "", dir_.file(table), alias, true);
  }

  db_test::TempDir dir_;
};

TEST_F(WorkAreas, EachOpenTakesTheLowestFreeAreaAndBecomesCurrent) {
  use("ONE.DBF", "one");
  EXPECT_EQ(db::currentArea(), 1);
  use("TWO.DBF", "Two");
  EXPECT_EQ(db::currentArea(), 2);
  EXPECT_EQ(db::alias(), "TWO");
  use("THREE.DBF", "");
  EXPECT_EQ(db::alias(), "THREE");
  EXPECT_EQ(db::workspaceList(), (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(db::select("one"), 1);
  EXPECT_EQ(db::select("TWO"), 2);
  EXPECT_EQ(db::select("NONE"), 0);
  db::selectArea(2);
  db::dbCloseArea();
  EXPECT_EQ(db::workspaceList(), (std::vector<int>{1, 3}));
  EXPECT_EQ(db::select("TWO"), 0);
  EXPECT_EQ(db::alias(), "");
  use("TWO.DBF", "AGAIN");
  EXPECT_EQ(db::currentArea(), 2);
}

TEST_F(WorkAreas, InAreaEvaluatesThereAndPutsTheCurrentAreaBack) {
  use("ONE.DBF", "ONE");
  use("TWO.DBF", "TWO");
  EXPECT_EQ(db::inArea(db::select("ONE"), [] { return db::fieldGet(1).text(); }), "ONE  ");
  EXPECT_EQ(db::currentArea(), 2);
  const std::optional<std::string> error = db_test::caught([] {
    db::inArea(1, [] {
      db::selectArea(3);
      db::dbGoTop();  // area 3 is not in use: the error breaks out
    });
  });
  EXPECT_EQ(error, "Work area 3 is not in use");
  EXPECT_EQ(db::currentArea(), 2);
}

TEST_F(WorkAreas, AnUnusedAreaAnswersQueriesWithNothing) {
  db::selectArea(7);
  EXPECT_EQ(db::alias(), "");
  EXPECT_EQ(db::lastRec(), 0u);
  EXPECT_TRUE(db::eof());
  EXPECT_EQ(db::recNo(), 0u);
  EXPECT_EQ(db::fCount(), 0);
  EXPECT_EQ(db::fieldName(1), "");
  EXPECT_TRUE(db::fieldGet(1).isNil());
  EXPECT_EQ(db::currentTable(), nullptr);
  db::dbCommit();
  db::dbRollback();
  db::dbCloseArea();
  EXPECT_EQ(db_test::caught([] { db::dbSkip(); }), "Work area 7 is not in use");
  db::selectArea(0);
  EXPECT_EQ(db::currentArea(), 1);
}

TEST_F(WorkAreas, AFailedOpenLeavesTheAreasAsTheyWere) {
  use("ONE.DBF", "ONE");
  struct Case {
    std::string driver, table, alias, error;
  };
  const Case cases[] = {
      {"", "TWO.DBF", "one", "Alias ONE is already in use"},
      {"NOPE", "TWO.DBF", "X", "Database driver NOPE is not loaded"},
      {"DBFDBE", "TWO.DBF", "X", "Database driver DBFDBE is not loaded"},
      {"", "MISSING.DBF", "X", "Table " + dir_.file("MISSING.DBF") + " not found"},
      {"SDFDBE", "TWO.DBF", "X", "Database driver SDFDBE needs a structure definition to open " + dir_.file("TWO.DBF")},
      {"DELDBE", "TWO.DBF", "X", "Database driver DELDBE needs a structure definition to open " + dir_.file("TWO.DBF")},
      {"ODBCDBE", "TWO.DBF", "X", "Database driver ODBCDBE needs a structure definition to open " + dir_.file("TWO.DBF")},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(db_test::caught([&] { db::dbUseArea(true, c.driver, dir_.file(c.table), c.alias, true); }), c.error);
    EXPECT_EQ(db::workspaceList(), std::vector<int>{1});
    EXPECT_EQ(db::currentArea(), 1);
  }
  db_test::AnsweringBlock block({false});
  use("MISSING.DBF", "X");
  EXPECT_EQ(block.errors().size(), 1u);
  EXPECT_EQ(block.errors()[0]->osCode, 2);
  EXPECT_EQ(db::workspaceList(), std::vector<int>{1});
}

TEST_F(WorkAreas, OpeningInTheCurrentAreaClosesWhatItHeld) {
  use("ONE.DBF", "ONE");
  use("TWO.DBF", "TWO", false);
  EXPECT_EQ(db::workspaceList(), std::vector<int>{1});
  EXPECT_EQ(db::alias(), "TWO");
  EXPECT_EQ(db::select("ONE"), 0);
}

TEST_F(WorkAreas, AnAliasAnOperationNeedsMustExist) {
  use("ONE.DBF", "ONE");
  EXPECT_EQ(db::aliasArea("one"), 1);
  db_test::AnsweringBlock block({false});
  EXPECT_EQ(db::aliasArea("input"), 0);
  EXPECT_EQ(block.descriptions(), std::vector<std::string>{"Alias INPUT does not exist"});
}

TEST_F(WorkAreas, CloseAllEmptiesEveryArea) {
  use("ONE.DBF", "ONE");
  use("TWO.DBF", "TWO");
  db::closeAll();
  EXPECT_TRUE(db::workspaceList().empty());
  EXPECT_EQ(db::currentArea(), 1);
}

TEST_F(WorkAreas, TheSessionIsWhatWasSet) {
  EXPECT_TRUE(db::dbSession().isNil());
  db::setDbSession(rt::Value("session"));
  EXPECT_EQ(db::dbSession().text(), "session");
  db::setDbSession(rt::Value());
}

TEST(EngineRegistry, DriversAreVisibleEnginesAndBuiltComposites) {
  db::resetEngines();
  EXPECT_FALSE(db::dbeLoad("NOSUCHDBE", false));
  EXPECT_FALSE(db::dbeBuild("DBFNTX", "DBFDBE", "NTXDBE"));  // nothing loaded yet
  ASSERT_TRUE(db::dbeLoad("dbfdbe", true));
  ASSERT_TRUE(db::dbeLoad("NTXDBE", true));
  ASSERT_TRUE(db::dbeLoad("SDFDBE", false));
  EXPECT_FALSE(db::driverExists("DBFDBE"));  // hidden: only a component
  EXPECT_FALSE(db::driverExists("NTXDBE"));
  EXPECT_TRUE(db::driverExists("SDFDBE"));
  EXPECT_FALSE(db::dbeBuild("BAD", "NTXDBE", "DBFDBE"));  // components the wrong way round
  ASSERT_TRUE(db::dbeBuild("DBFNTX", "DBFDBE", "NTXDBE"));
  EXPECT_TRUE(db::driverExists("dbfntx"));
  EXPECT_EQ(db::dbeSetDefault("DBFNTX"), "");
  EXPECT_EQ(db::dbeSetDefault("NOSUCH"), "DBFNTX");
  EXPECT_EQ(db::dbeDefault(), "DBFNTX");
  EXPECT_TRUE(db::dbeInfo(2, 1007, rt::Value(2)).isNil());
  EXPECT_EQ(db::dbeInfo(2, 1007, rt::Value(3)).num(), 2);
  db::resetEngines();
  EXPECT_FALSE(db::driverExists("DBFNTX"));
  EXPECT_EQ(db::dbeDefault(), "");
}

TEST(EngineRegistry, AvailabilityCanBeTakenAway) {
  db::resetEngines();
  db::setEngineAvailable([](const std::string& e) { return e != "FOXDBE"; });
  db::setBuildAvailable([](const std::string& d) { return d != "DBFCDX"; });
  EXPECT_FALSE(db::dbeLoad("FOXDBE", true));
  EXPECT_TRUE(db::dbeLoad("DBFDBE", true));
  EXPECT_TRUE(db::dbeLoad("CDXDBE", true));
  EXPECT_FALSE(db::dbeBuild("DBFCDX", "DBFDBE", "CDXDBE"));
  db::setEngineAvailable(nullptr);
  db::setBuildAvailable(nullptr);
  EXPECT_TRUE(db::dbeLoad("FOXDBE", true));
  EXPECT_TRUE(db::dbeBuild("DBFCDX", "DBFDBE", "CDXDBE"));
  db::resetEngines();
}

}  // namespace
