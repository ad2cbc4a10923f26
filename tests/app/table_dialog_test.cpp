// GETTABLENAME with a scripted toolkit: the elements the dialog is built
// from, MEMOS.SYS, the file picker's arguments and the answers handed back.
#include <filesystem>
#include <fstream>
#include <optional>

#include <gtest/gtest.h>

#include "platform/db/workarea.hpp"
#include "platform/db/workarea_test_helper.hpp"
#include "platform/rt/files.hpp"
#include "src/app/table_dialog.hpp"
#include "src/runtime/startup.hpp"
#include "tests/support/scratch_dir.hpp"
#include "tests/support/dbf_writer.hpp"
#include "tests/support/fake_toolkit.hpp"

namespace {

using Filters = std::vector<std::pair<std::string, std::string>>;

// A toolkit whose waiting window runs a script over the element list, as a
// person would fill the dialog in, and whose file picker answers from a slot.
class ScriptedToolkit : public testing_support::FakeToolkit {
 public:
  std::function<bool(ui::ElementList&)> script = [](ui::ElementList&) { return false; };
  std::string title;
  bool appWindowSet = false;
  std::optional<std::string> pick;
  std::vector<ui::FilePick> picks;

  bool readModal(ui::ElementList& elements, const std::string& t,
                 const std::function<void()>& onWindow) override {
    title = t;
    if (onWindow) onWindow();
    return script(elements);
  }
  void setAppWindow() override { appWindowSet = true; }
  std::optional<std::string> popFile(const ui::FilePick& call) override {
    picks.push_back(call);
    return pick;
  }
};

// The dialog's field of the table name and its Y/N field.
ui::Element& tableField(ui::ElementList& e) { return e.at(1); }
ui::Element& yesNoField(ui::ElementList& e) { return e.at(3); }

// A script that types `name` into the table-name field and confirms.
std::function<bool(ui::ElementList&)> typeAndConfirm(const std::string& name) {
  return [name](ui::ElementList& e) {
    *tableField(e).link = rt::Value(name);
    return true;
  };
}

class TableDialogTest : public testing::Test {
 protected:
  void SetUp() override {
    db::closeAll();
    previous_ = ui::setToolkit(std::unique_ptr<ui::Toolkit>(kit));
  }
  void TearDown() override {
    ui::setToolkit(std::move(previous_));
    db::closeAll();
  }

  std::string run(const std::string& cStartDir = "/start") {
    return app::getTableName(rlFieldLine, rcDriver, cStartDir);
  }
  static void remember(const std::string& text) { std::ofstream("MEMOS.SYS") << text; }
  static std::optional<std::string> remembered() {
    if (!std::filesystem::exists("MEMOS.SYS")) return std::nullopt;
    return rt::memoRead("MEMOS.SYS");
  }
  // What the table-name field starts with (the dialog then cancelled).
  std::string startingField() {
    std::string seen;
    kit->script = [&seen](ui::ElementList& e) {
      seen = tableField(e).link->text();
      return false;
    };
    run();
    return seen;
  }

  app_test::ScratchDir dir;
  ScriptedToolkit* kit = new ScriptedToolkit;
  bool rlFieldLine = true;
  std::string rcDriver;

 private:
  std::unique_ptr<ui::Toolkit> previous_;
};

TEST_F(TableDialogTest, DialogIsBuiltOfTwoLabelsAndTwoFields) {
  ui::ElementList seen;
  bool yesNoShown = false;
  kit->script = [&](ui::ElementList& e) {
    seen = e;
    yesNoShown = yesNoField(e).link->logical();
    return false;
  };
  run();
  EXPECT_EQ(kit->title, "Create a Text Delimited File");
  EXPECT_TRUE(kit->appWindowSet);
  ASSERT_EQ(seen.size(), 4u);
  using K = ui::Element::Kind;
  EXPECT_EQ(seen[0].kind, K::Label);
  EXPECT_EQ(seen[0].caption, "Select Table     ");
  EXPECT_EQ(seen[2].kind, K::Label);
  EXPECT_EQ(seen[2].caption, "Place Field Names on First line of Delimited File");
  for (int label : {0, 2}) {
    EXPECT_EQ(seen[label].row, label + 2);
    EXPECT_EQ(seen[label].column, 5);
    EXPECT_EQ(seen[label].font, "10.Courier New Bold");
  }
  EXPECT_EQ(seen[1].kind, K::Entry);
  EXPECT_EQ(seen[1].name, "cTable");
  EXPECT_EQ(seen[1].picture, "@!@K");
  EXPECT_EQ(seen[1].labelIndex, 1);
  EXPECT_EQ(seen[1].help,
            "Enter the name of the table to create a delimited file from.;;Use the [...] button "
            "to tag a name.");
  EXPECT_TRUE(seen[1].validation && seen[1].popup);
  EXPECT_EQ(seen[3].kind, K::Entry);
  EXPECT_EQ(seen[3].name, "rlFieldLine");
  EXPECT_EQ(seen[3].picture, "Y");
  EXPECT_EQ(seen[3].labelIndex, 3);
  EXPECT_EQ(seen[3].help,
            "If you enter yes, the first line of the delimited file will;contain the names of the "
            "fields.");
  EXPECT_FALSE(seen[3].validation || seen[3].popup);
  EXPECT_TRUE(yesNoShown);  // the caller's field-name option
}

TEST_F(TableDialogTest, FieldStartsWithTheRememberedDirectory) {
  const std::vector<std::pair<std::optional<std::string>, std::string>> cases = {
      {std::nullopt, ""},
      {"c:\\data\\", "C:\\DATA\\"},
      {"  /nosuch/tables/ \r\n", "/NOSUCH/TABLES/"},
      {"", ""},
      {std::string(70, 'x'), std::string(60, 'X')},
      // Folders that exist are shown as they are on disk.
      {"TABLES/Old/", "Tables/OLD/"},
  };
  std::filesystem::create_directory("Tables");
  for (const auto& [memory, field] : cases) {
    std::filesystem::remove("MEMOS.SYS");
    if (memory) remember(*memory);
    EXPECT_EQ(startingField(), field + std::string(60 - field.size(), ' ')) << field;
  }
}

TEST_F(TableDialogTest, PickerStartsAtTheRememberedTextOrTheCallersLocation) {
  const std::vector<std::pair<std::optional<std::string>, std::string>> cases = {
      {std::nullopt, "/start"},
      {"", "/start"},
      {"c:\\data\\", "C:\\DATA\\" + std::string(52, ' ')},
  };
  for (const auto& [memory, start] : cases) {
    std::filesystem::remove("MEMOS.SYS");
    if (memory) remember(*memory);
    kit->picks.clear();
    kit->script = [](ui::ElementList& e) {
      tableField(e).popup(rt::Value("TYPED"));
      *tableField(e).link = rt::Value("ANOTHER");
      tableField(e).popup(rt::Value("ANOTHER"));  // every pick starts at the same place
      return false;
    };
    run();
    ASSERT_EQ(kit->picks.size(), 2u);
    for (const auto& call : kit->picks) {
      EXPECT_EQ(call.start, start);
      EXPECT_EQ(call.mask, "*.DBF");
      EXPECT_EQ(call.title, "Select");
      EXPECT_EQ(call.filters, Filters({{"Database Tables", "*.DBF"}}));
    }
    EXPECT_EQ(kit->picks[0].content, "TYPED");
  }
}

TEST_F(TableDialogTest, PickedPathBecomesTheFieldAndACancelledPickKeepsIt) {
  std::vector<std::string> results;
  kit->script = [&results, this](ui::ElementList& e) {
    kit->pick = "/nosuch/orders.dbf";
    results.push_back(tableField(e).popup(rt::Value("OLD")).text());
    kit->pick = "data/orders.dbf";
    results.push_back(tableField(e).popup(rt::Value("OLD")).text());
    kit->pick.reset();
    results.push_back(tableField(e).popup(rt::Value("OLD")).text());
    return false;
  };
  std::filesystem::create_directory("data");
  run();
  // The folders as they are on disk, the file name upper-cased.
  EXPECT_EQ(results,
            std::vector<std::string>({"/NOSUCH/ORDERS.DBF", "data/ORDERS.DBF", "OLD"}));
}

TEST_F(TableDialogTest, APickedTableIsTheOneReadEvenBesideOneThatDiffersInCase) {
  runtime::dbeSys();
  test_support::TableShape shape;
  shape.fields = {{"NAME", 'C', 10}};
  std::filesystem::create_directory("data");
  test_support::DbfWriter("data/ORDERS.DBF", shape).finish();
  shape.fields = {{"NAME", 'C', 10}, {"QTY", 'N', 5}};
  test_support::DbfWriter("data/orders.dbf", shape).finish();
  kit->script = [this](ui::ElementList& e) {
    kit->pick = "data/orders.dbf";
    *tableField(e).link = tableField(e).popup(*tableField(e).link);
    return tableField(e).validation();
  };
  EXPECT_EQ(run(), "data/orders.dbf");
  EXPECT_EQ(db::inArea(db::select("INPUT"), [] { return db::fCount(); }), 2);
  EXPECT_EQ(remembered(), "data/");
}

TEST_F(TableDialogTest, ConfirmedNameIsReturnedTrimmedAndItsDirectoryRemembered) {
  struct Case {
    std::string typed, returned, remembered;
  };
  const std::vector<Case> cases = {
      {"C:\\DATA\\ORDERS.DBF", "C:\\DATA\\ORDERS.DBF", "C:\\DATA\\"},
      {"  c:\\data\\orders  ", "c:\\data\\orders", "C:\\DATA\\"},
      {"ORDERS.DBF", "ORDERS.DBF", ""},
      {"tables/orders.dbf", "tables/orders.dbf", "TABLES/"},
      {"/nosuch/a\\b/c.dbf", "/nosuch/a\\b/c.dbf", "/NOSUCH/A\\B/"},
      // The folders that exist as they are on disk.
      {"DATA/NEW/orders.dbf", "DATA/NEW/orders.dbf", "data/NEW/"},
  };
  std::filesystem::create_directory("data");
  for (const Case& c : cases) {
    kit->script = typeAndConfirm(c.typed);
    EXPECT_EQ(run(), c.returned);
    EXPECT_EQ(remembered(), c.remembered) << c.typed;
  }
}

TEST_F(TableDialogTest, CancelReturnsNothingAndLeavesMemosSysAlone) {
  kit->script = [](ui::ElementList& e) {
    *tableField(e).link = rt::Value("C:\\OTHER\\T.DBF");
    return false;
  };
  EXPECT_EQ(run(), "");
  EXPECT_EQ(remembered(), std::nullopt);
  remember("c:\\data\\");
  EXPECT_EQ(run(), "");
  EXPECT_EQ(remembered(), "c:\\data\\");
}

TEST_F(TableDialogTest, YesNoFieldHandsBackTheAnswer) {
  for (bool answer : {false, true}) {
    kit->script = [answer](ui::ElementList& e) {
      *yesNoField(e).link = rt::Value(answer);
      *tableField(e).link = rt::Value("T.DBF");
      return true;
    };
    rlFieldLine = !answer;
    run();
    EXPECT_EQ(rlFieldLine, answer);
  }
}

TEST_F(TableDialogTest, FailedWriteOfMemosSysGoesUnnoticed) {
  std::filesystem::create_directory("MEMOS.SYS");
  kit->script = typeAndConfirm("C:\\DATA\\ORDERS.DBF");
  EXPECT_EQ(run(), "C:\\DATA\\ORDERS.DBF");
}

TEST_F(TableDialogTest, ValidationChecksTheFieldAndHandsTheDriverBack) {
  runtime::dbeSys();
  test_support::TableShape shape;
  shape.fields = {{"NAME", 'C', 10}};
  test_support::DbfWriter("ORDERS.DBF", shape).finish();
  std::vector<bool> answers;
  kit->script = [&answers](ui::ElementList& e) {
    *tableField(e).link = rt::Value("MISSING.DBF");
    answers.push_back(tableField(e).validation());
    *tableField(e).link = rt::Value("orders.dbf");
    answers.push_back(tableField(e).validation());
    return true;
  };
  EXPECT_EQ(run(), "orders.dbf");
  EXPECT_EQ(answers, std::vector<bool>({false, true}));
  EXPECT_EQ(kit->texts("guiAlert"),
            std::vector<std::string>{
                "FILE MISSING.DBF NOT FOUND.;;USE [...] BUTTON TO TAG A TABLE NAME."});
  EXPECT_EQ(rcDriver, "DBFNTX");
  EXPECT_GT(db::select("INPUT"), 0);
}

}  // namespace
