// The non-waiting window of the Qt toolkit as the export run uses it.
#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QTest>

#include "platform/ui/qt/progress_window.hpp"
#include "src/app/progress_window.hpp"
#include "tests/ui/qt/modal_script.hpp"
#include "tests/ui/qt/qt_fixture.hpp"

namespace qt_testing {
namespace {

// The window as the export run builds it, shown.
class ProgressTest : public QtTest {
 protected:
  std::unique_ptr<ui::Window> build(std::uint64_t maximum, std::uint64_t step, bool lWritten = false) {
    app::ProgressWindow built = app::buildProgressWindow("ORDERS.CSV", maximum, step, lWritten);
    oProgress = built.oProgress;
    return std::move(built.oDialog);
  }

  static QWidget* windowOf(ui::Window& w) {
    return static_cast<ui::qt::ProgressWindow&>(w).widget();
  }

  ui::ProgressBar* oProgress = nullptr;
};

TEST_F(ProgressTest, WindowShowsCaptionAndBarAndFollowsTheRecords) {
  auto oDialog = build(1000, 10);
  ASSERT_NE(oProgress, nullptr);
  QWidget* window = windowOf(*oDialog);
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(window->windowTitle(), "Create a Text Delimited File - Version 08.27.2011");
  auto* caption = window->findChild<QLabel*>();
  auto* bar = window->findChild<QProgressBar*>();
  ASSERT_TRUE(caption && bar);
  EXPECT_EQ(caption->text(), "Creating Delimited File ORDERS.CSV");
  EXPECT_EQ(caption->x(), bar->x());  // both at column 5
  EXPECT_LT(caption->y(), bar->y());  // the caption above the bar
  EXPECT_EQ(bar->maximum(), 1000);
  EXPECT_EQ(bar->value(), 0);
  oProgress->update(1);
  EXPECT_EQ(bar->value(), 1);  // the first position is drawn at once
  // Later ones are drawn when the screen can show them again.
  QTest::qWait(static_cast<int>(ui::qt::QtProgressBar::kMinInterval.count()) + 10);
  for (std::uint64_t recno = 2; recno <= 1000; ++recno) oProgress->update(recno);
  EXPECT_GT(bar->value(), 1);
  ui::qt::syncProgressBars();
  EXPECT_EQ(bar->value(), 1000);
  EXPECT_EQ(bar->text(), "100%");
}

TEST_F(ProgressTest, ABarOfAChoiceOfRecordsShowsTheRecordsWrittenAfterThePercentage) {
  auto oDialog = build(1000, 10, true);
  auto* bar = windowOf(*oDialog)->findChild<QProgressBar*>();
  ASSERT_TRUE(bar);
  oProgress->update(1, 0);
  EXPECT_EQ(bar->text(), "0%, 0 written");
  for (std::uint64_t recno = 2; recno <= 1000; ++recno) oProgress->update(recno, recno / 4);
  // The last count is shown even when it came between two redraws.
  ui::qt::syncProgressBars();
  EXPECT_EQ(bar->text(), "100%, 250 written");
}

TEST_F(ProgressTest, RepaintsAtMostOnceEveryFewRedraws) {
  auto oDialog = build(1000000, 100);
  auto& bar = static_cast<ui::qt::QtProgressBar&>(*oProgress);
  for (std::uint64_t recno = 1; recno <= 1000000; ++recno) bar.update(recno);
  const unsigned long redraws = 1000000 / 100;
  EXPECT_LE(bar.paints(), redraws / ui::qt::QtProgressBar::kClockEvery + 2);
}

TEST_F(ProgressTest, MessageOverTheWindowShowsTheBarAtItsLatestPosition) {
  auto oDialog = build(1000, 10);
  for (std::uint64_t recno = 1; recno <= 995; ++recno) oProgress->update(recno);
  int valueUnderMessage = -1;
  bool windowUnderMessage = false;
  ModalScript script;
  script.then("the final message", named("guiAlert"), [&](QWidget* w) {
    QWidget* window = windowOf(*oDialog);
    windowUnderMessage = window->isVisible();
    valueUnderMessage = window->findChild<QProgressBar*>()->value();
    pressButton(w, "OK");
  });
  ui::toolkit().guiAlert("Program Ended Normally", "Alert", "11.Courier New Bold");
  EXPECT_TRUE(windowUnderMessage);
  EXPECT_EQ(valueUnderMessage, 995);
}

TEST_F(ProgressTest, EmptyTableGivesAnEmptyBarAndTheWindowStillComesAndGoes) {
  auto oDialog = build(0, 10);
  QPointer<QWidget> window = windowOf(*oDialog);
  EXPECT_EQ(window->findChild<QProgressBar*>()->value(), 0);
  oDialog->destroy();
  EXPECT_TRUE(window.isNull());
}

TEST_F(ProgressTest, OnlyTheRunClosesTheWindow) {
  auto oDialog = build(10, 10);
  QPointer<QWidget> window = windowOf(*oDialog);
  EXPECT_FALSE(window->close());
  EXPECT_TRUE(window->isVisible());
  oDialog->destroy();
  EXPECT_TRUE(window.isNull());
  oProgress->update(10);  // a bar outliving its window draws nothing
  oDialog->destroy();     // and a second destroy does nothing
}

}  // namespace
}  // namespace qt_testing
