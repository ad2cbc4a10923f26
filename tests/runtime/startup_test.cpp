// The start-up sequence, engine loading and the exit procedure.
#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/db/engine.hpp"
#include "platform/db/engine_test_helper.hpp"
#include "platform/db/workarea.hpp"
#include "platform/db/workarea_test_helper.hpp"
#include "platform/rt/error_block.hpp"
#include "platform/rt/program_end.hpp"
#include "platform/rt/settings.hpp"
#include "platform/rt/settings_test_helper.hpp"
#include "src/runtime/detail.hpp"
#include "src/runtime/startup.hpp"
#include "tests/support/fake_toolkit.hpp"

namespace {

using testing_support::ScopedFakeToolkit;

// Tables of a test engine: no fields, no records; they count their commits
// and rollbacks, and those named in `failCommit` raise on commit.
struct Ledger {
  std::vector<std::string> committed, rolledBack, failedCommit;
  std::set<std::string> failCommit;
};

class LedgerTable : public db::Table {
 public:
  LedgerTable(Ledger& ledger, std::string path) : ledger_(ledger), path_(std::move(path)) {}
  std::uint32_t lastRec() const override { return 0; }
  int fieldCount() const override { return 0; }
  const std::string& fieldName(int) const override { return path_; }
  void goTop() override {}
  void skip() override {}
  bool eof() const override { return true; }
  std::uint32_t recNo() const override { return 1; }
  rt::Value fieldGet(int) override { return {}; }
  void commit() override {
    if (ledger_.failCommit.count(path_)) {
      ledger_.failedCommit.push_back(path_);
      auto e = std::make_shared<rt::ErrorObject>();
      e->description = "commit failed";
      rt::raise(e);
      return;
    }
    ledger_.committed.push_back(path_);
  }
  void rollback() override { ledger_.rolledBack.push_back(path_); }

 private:
  Ledger& ledger_;
  std::string path_;
};

class LedgerEngine : public db::DataEngine {
 public:
  explicit LedgerEngine(Ledger& ledger) : ledger_(ledger) {}
  std::unique_ptr<db::Table> open(const std::string& path, bool) override {
    return std::make_unique<LedgerTable>(ledger_, path);
  }

 private:
  Ledger& ledger_;
};

class StartupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    db::closeAll();
    db::resetEngines();
    db::setEngineAvailable([](const std::string&) { return true; });
    db::setBuildAvailable([](const std::string&) { return true; });
    rt::resetSettings();
    rt::errorLevel(0);
  }
  void TearDown() override {
    db::closeAll();
    db::setEngineAvailable([](const std::string&) { return true; });
    db::setBuildAvailable([](const std::string&) { return true; });
    rt::errorLevel(0);
    rt::errorBlock(rt::ErrorBlock{});
  }
  ScopedFakeToolkit ui_;
};

TEST_F(StartupTest, EntryRunsWithHandlerSettingsAndDefaultDriverInPlace) {
  bool ran = false;
  int code = runtime::start({"ORDERS", "n"}, [&](const std::vector<std::string>& args) {
    ran = true;
    EXPECT_EQ(args, (std::vector<std::string>{"ORDERS", "n"}));
    EXPECT_TRUE(static_cast<bool>(rt::errorBlock()));
    EXPECT_EQ(rt::set(rt::Set::Exclusive).logical(), false);
    EXPECT_EQ(rt::set(rt::Set::Cancel).logical(), false);
    EXPECT_EQ(rt::set(rt::Set::Decimals).num(), 2);
    EXPECT_EQ(rt::set(rt::Set::Scoreboard).logical(), false);
    EXPECT_EQ(rt::set(rt::Set::Century).logical(), true);
    EXPECT_EQ(rt::set(rt::Set::Epoch).num(), 1960);
    EXPECT_EQ(rt::set(rt::Set::Deleted).logical(), true);
    EXPECT_EQ(rt::set(rt::Set::DbLayer).num(), 2);
    EXPECT_EQ(rt::set(rt::Set::DateFormat).text(), "mm/dd/yyyy");
    EXPECT_EQ(db::dbeDefault(), "DBFNTX");
    for (const char* d : {"DBFNTX", "DBFCDX", "FOXCDX", "FOXNTX", "SDFDBE", "DELDBE", "ODBCDBE"})
      EXPECT_TRUE(db::driverExists(d)) << d;
  });
  EXPECT_TRUE(ran);
  EXPECT_EQ(code, 0);
  EXPECT_TRUE(ui_->shown.empty());
}

TEST_F(StartupTest, CenturyOffGivesTwoDigitYearFormat) {
  rt::set(rt::Set::Century, false);
  EXPECT_TRUE(runtime::loadDatabaseDrivers("DBFNTX"));
  EXPECT_EQ(rt::set(rt::Set::DateFormat).text(), "mm/dd/yy");
}

struct EngineFailure {
  std::set<std::string> unavailable;
  std::vector<std::string> alerts;
};

void PrintTo(const EngineFailure& f, std::ostream* os) {
  for (const auto& e : f.unavailable) *os << e << ' ';
}

class EngineFailureTest : public StartupTest,
                          public ::testing::WithParamInterface<EngineFailure> {};

TEST_P(EngineFailureTest, AlertsEveryMissingEngineBuildsNothingAndEndsWithCode1) {
  const auto& p = GetParam();
  db::setEngineAvailable([&](const std::string& e) { return !p.unavailable.count(e); });
  bool ran = false;
  int code = runtime::start({"ORDERS"}, [&](const std::vector<std::string>&) { ran = true; });
  EXPECT_FALSE(ran);
  EXPECT_EQ(code, 1);
  EXPECT_EQ(ui_->texts("alert"), p.alerts);
  for (const char* d : {"DBFNTX", "DBFCDX", "FOXCDX", "FOXNTX"})
    EXPECT_FALSE(db::driverExists(d)) << d;
}

INSTANTIATE_TEST_SUITE_P(
    Startup, EngineFailureTest,
    ::testing::Values(
        EngineFailure{{"ODBCDBE"},
                      {"ODBCDBE database driver not loaded.",
                       "Not able to load database drivers from LoadDatabaseDrivers()"}},
        EngineFailure{{"ODBCDBE", "NTXDBE"},
                      {"NTXDBE database driver not loaded.", "ODBCDBE database driver not loaded.",
                       "Not able to load database drivers from LoadDatabaseDrivers()"}}));

TEST_F(StartupTest, FailedCompositeIsReportedAndTheOthersAreStillBuilt) {
  db::setBuildAvailable([](const std::string& d) { return d != "FOXNTX"; });
  bool ran = false;
  int code = runtime::start({}, [&](const std::vector<std::string>&) { ran = true; });
  EXPECT_FALSE(ran);
  EXPECT_EQ(code, 1);
  EXPECT_EQ(ui_->texts("alert"),
            (std::vector<std::string>{"FOXNTX database engine not created.",
                                      "Not able to load database drivers from LoadDatabaseDrivers()"}));
  EXPECT_TRUE(db::driverExists("FOXCDX"));
  EXPECT_TRUE(db::driverExists("DBFNTX"));
  EXPECT_TRUE(db::driverExists("DBFCDX"));
  EXPECT_FALSE(db::driverExists("FOXNTX"));
}

class AppExitTest : public StartupTest {
 protected:
  void SetUp() override {
    StartupTest::SetUp();
    db::installTestEngine("LEDGERDBE", std::make_shared<LedgerEngine>(ledger_));
    ASSERT_TRUE(db::dbeLoad("LEDGERDBE", false));
  }
  void open(const std::string& name) { db::dbUseArea(true, "LEDGERDBE", name, name, true); }
  Ledger ledger_;
};

TEST_F(AppExitTest, ClosesEveryAreaAndRollsBackOnlyTheOneWhoseCommitFails) {
  ledger_.failCommit = {"B"};
  open("A");
  open("B");
  open("C");
  bool markerReached = false;
  rt::errorBlock([&](const rt::ErrorPtr&) {
    markerReached = true;
    return rt::Value(false);
  });

  runtime::appExit();

  EXPECT_TRUE(db::workspaceList().empty());
  EXPECT_EQ(ledger_.committed, (std::vector<std::string>{"A", "C"}));
  EXPECT_EQ(ledger_.failedCommit, (std::vector<std::string>{"B"}));
  EXPECT_EQ(ledger_.rolledBack, (std::vector<std::string>{"B"}));
  // The block in force before the exit procedure is in force again.
  rt::raise(std::make_shared<rt::ErrorObject>());
  EXPECT_TRUE(markerReached);
}

TEST_F(AppExitTest, QuitFromTheEntryStillClosesTheAreasAndKeepsTheExitCode) {
  int code = runtime::start({}, [&](const std::vector<std::string>&) {
    db::installTestEngine("LEDGERDBE", std::make_shared<LedgerEngine>(ledger_));
    db::dbeLoad("LEDGERDBE", false);
    open("INPUT");
    rt::errorLevel(3);
    rt::quit();
  });
  EXPECT_EQ(code, 3);
  EXPECT_TRUE(db::workspaceList().empty());
  EXPECT_EQ(ledger_.committed, (std::vector<std::string>{"INPUT"}));
}

}  // namespace
