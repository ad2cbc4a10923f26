// The conversion of an open table: what the progress window is given, when
// it is destroyed, the lines written, and the failures of the output, with
// the boxes recorded by a scripted toolkit.

#include <gtest/gtest.h>

#include "platform/db/workarea.hpp"
#include "platform/db/workarea_test_helper.hpp"
#include "platform/rt/os_file_test_helper.hpp"
#include "platform/rt/output_file.hpp"
#include "platform/rt/settings.hpp"
#include "platform/rt/settings_test_helper.hpp"
#include "src/app/export_table.hpp"
#include "src/app/options.hpp"
#include "src/app/sqlite_output.hpp"
#include "src/runtime/startup.hpp"
#include "tests/support/temp_dir.hpp"
#include "tests/support/dbf_writer.hpp"
#include "tests/support/fake_toolkit.hpp"

namespace {

// The scripted toolkit, also noting what the progress window was built from
// and how many windows were destroyed when each message box came.
class RecordingToolkit : public testing_support::FakeToolkit {
 public:
  std::string windowTitle, caption;
  std::uint64_t maximum = 0, step = 0;
  std::vector<int> destroyedAtMessage;

  std::unique_ptr<ui::Window> readNonModal(ui::ElementList& elements,
                                           const std::string& title) override {
    windowTitle = title;
    for (const auto& e : elements) {
      if (e.kind == ui::Element::Kind::Label) caption = e.caption;
      if (e.kind == ui::Element::Kind::ProgressBar) maximum = e.maximum, step = e.step;
    }
    return FakeToolkit::readNonModal(elements, title);
  }
  void guiAlert(const std::string& text, const std::string& title,
                const std::string& font) override {
    destroyedAtMessage.push_back(windowsDestroyed);
    FakeToolkit::guiAlert(text, title, font);
  }
};

class ExportTable : public testing::Test {
 protected:
  void SetUp() override {
    db::closeAll();
    runtime::appSys();
    runtime::dbeSys();
    auto t = std::make_unique<RecordingToolkit>();
    kit_ = t.get();
    previous_ = ui::setToolkit(std::move(t));
  }
  void TearDown() override {
    rt::failWritesAfter(0, 0);
    db::closeAll();
    ui::setToolkit(std::move(previous_));
    rt::resetSettings();
  }

  // A table of `count` records numbered from 1; the numbers in `deleted`
  // are marked deleted. Opened under INPUT as the export run finds it.
  void openTable(int count, const std::vector<int>& deleted = {}) {
    test_support::TableShape shape;
    shape.fields = {{"ID", 'N', 6}, {"NAME", 'C', 8}};
    test_support::DbfWriter w(dir_ / "T.DBF", shape);
    for (int i = 1; i <= count; ++i) {
      const bool gone = std::find(deleted.begin(), deleted.end(), i) != deleted.end();
      w.append({std::to_string(i), "n" + std::to_string(i)}, gone);
    }
    w.finish();
    db::dbUseArea(true, "DBFNTX", dir_ / "T.DBF", "INPUT", true);
  }

  rt_test::TempDir dir_;
  RecordingToolkit* kit_ = nullptr;
  std::unique_ptr<ui::Toolkit> previous_;
};

TEST_F(ExportTable, TheWindowShowsTheOutputAndIsDestroyedAfterTheFinalMessage) {
  openTable(3, {2});
  ASSERT_TRUE(app::exportTable(dir_ / "T.DBF", true));
  EXPECT_EQ(kit_->windowTitle, "Create a Text Delimited File - Version 08.27.2011");
  EXPECT_EQ(kit_->caption, "Creating Delimited File " + dir_ / "T.CSV");
  EXPECT_EQ(kit_->maximum, 3u);  // the deleted record counts here
  EXPECT_EQ(kit_->texts("guiAlert"),
            std::vector<std::string>{"Program Ended Normally;;File " + dir_ / "T.CSV" +
                                     " Created with 2 records."});
  EXPECT_EQ(kit_->shown.back().title, "Alert");
  EXPECT_EQ(kit_->windowsShown, 1);
  EXPECT_EQ(kit_->destroyedAtMessage, std::vector<int>{0});
  EXPECT_EQ(kit_->windowsDestroyed, 1);
  EXPECT_EQ(db::select("INPUT"), 0);
  EXPECT_EQ(rt_test::readFile(dir_ / "T.CSV"), "\"ID\",\"NAME\"\r\n\"1\",\"n1\"\r\n\"3\",\"n3\"\r\n");
}

TEST_F(ExportTable, TheBarMovesByTenUpToAThousandRecordsThenByAHundred) {
  struct Case {
    int count;
    std::uint64_t step;
    std::vector<std::uint64_t> firstRedraws;
  };
  const Case cases[] = {{1000, 10, {1, 11, 21}}, {1001, 100, {1, 101, 201}}};
  for (const auto& c : cases) {
    kit_->redraws.clear();
    kit_->keptRedraws.clear();
    openTable(c.count);
    ASSERT_TRUE(app::exportTable(dir_ / "T.DBF", false));
    EXPECT_EQ(kit_->step, c.step);
    EXPECT_EQ(kit_->maximum, static_cast<std::uint64_t>(c.count));
    ASSERT_GE(kit_->redraws.size(), 3u);
    EXPECT_EQ(std::vector<std::uint64_t>(kit_->redraws.begin(), kit_->redraws.begin() + 3),
              c.firstRedraws);
    EXPECT_EQ(kit_->redraws.size(), (c.count - 1) / c.step + 1);
    EXPECT_EQ(kit_->keptRedraws, std::vector<std::string>(kit_->redraws.size(), ""));
  }
}

// A choice that passes records over has the bar count those written beside
// those read, as the final report does, on every output path.
TEST_F(ExportTable, TheBarOfAChoiceOfRecordsCountsTheRecordsWritten) {
  for (const std::string format : {"csv", "jsonl", "sqlite"}) {
    if (format == "sqlite" && !app::sqliteOutputAvailable()) continue;
    for (const std::string choice : {"--where=ID <= 20 OR ID = 30", "--deleted=only"}) {
      SCOPED_TRACE(format + " " + choice);
      kit_->redraws.clear();
      kit_->keptRedraws.clear();
      kit_->shown.clear();
      openTable(30, {5, 9, 25});
      app::Options o;
      ASSERT_TRUE(app::parseCommandLine({choice, "--format=" + format, "-e", "1252", "T"}, o).isOk());
      ASSERT_TRUE(app::exportTable(dir_ / "T.DBF", false, o)) << testing::PrintToString(kit_->texts("guiAlert"));
      const bool where = choice != "--deleted=only";
      EXPECT_EQ(kit_->redraws, (std::vector<std::uint64_t>{1, 11, 21}));
      EXPECT_EQ(kit_->keptRedraws, (where ? std::vector<std::string>{"1 written", "9 written", "18 written"}
                                          : std::vector<std::string>{"0 written", "2 written", "2 written"}));
      ASSERT_EQ(kit_->texts("guiAlert").size(), 1u);
      EXPECT_NE(kit_->texts("guiAlert")[0].find(where ? " 19 of 27 records." : " 3 of 30 records."), std::string::npos)
          << kit_->texts("guiAlert")[0];
    }
  }
}

TEST_F(ExportTable, AnOutputThatCannotBeCreatedIsToldAndTheTableClosed) {
  openTable(2);
  EXPECT_FALSE(app::exportTable(dir_ / "NO SUCH DIRECTORY/T.DBF", true));
  EXPECT_EQ(kit_->texts("guiAlert"),
            std::vector<std::string>{"Not able to create " + dir_ / "NO SUCH DIRECTORY/T.CSV" + "."});
  EXPECT_EQ(kit_->windowsShown, 0);
  EXPECT_EQ(db::select("INPUT"), 0);
}

TEST_F(ExportTable, AFailedWriteIsToldAndThePreviousOutputStays) {
  dir_.write("T.CSV", "previous\r\n");
  openTable(2000);
  rt::failWritesAfter(100, rt::dos::DiskFull);
  EXPECT_FALSE(app::exportTable(dir_ / "T.DBF", true));
  EXPECT_EQ(kit_->texts("guiAlert"),
            std::vector<std::string>{"Not able to write " + dir_ / "T.CSV" + "."});
  EXPECT_EQ(kit_->windowsDestroyed, 1);
  EXPECT_EQ(db::select("INPUT"), 0);
  EXPECT_EQ(rt_test::readFile(dir_ / "T.CSV"), "previous\r\n");
  EXPECT_EQ(dir_.listing(), "T.CSV T.DBF");
}

}  // namespace
