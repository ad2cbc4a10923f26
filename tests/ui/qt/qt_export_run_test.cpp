// A whole interactive run on Qt windows: the selection dialog, the progress
// window under the final message, and the window gone afterwards.
#include <filesystem>
#include <fstream>
#include <sstream>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QTest>

#include "platform/db/workarea.hpp"
#include "platform/db/workarea_test_helper.hpp"
#include "platform/rt/program_end.hpp"
#include "src/app/app.hpp"
#include "src/runtime/startup.hpp"
#include "tests/support/scratch_dir.hpp"
#include "tests/support/dbf_writer.hpp"
#include "tests/ui/qt/modal_script.hpp"
#include "tests/ui/qt/qt_fixture.hpp"

namespace qt_testing {
namespace {

const QString kProgressTitle = "Create a Text Delimited File - Version 08.27.2011";

QWidget* progressWindow() {
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (w->windowTitle() == kProgressTitle) return w;
  }
  return nullptr;
}

struct UnderTheMessage {
  bool windowShown = false;
  int value = -1;
  int maximum = -1;
  QString caption;
  QString message;
};

class ExportRunTest : public QtTest {
 protected:
  void SetUp() override {
    QtTest::SetUp();
    db::closeAll();
    runtime::dbeSys();
    rt::errorLevel(0);
    std::filesystem::create_directory("data");
    test_support::TableShape shape;
    shape.fields = {{"NAME", 'C', 10}, {"QTY", 'N', 5}};
    test_support::DbfWriter writer("data/orders.dbf", shape);
    for (const char* name : {"Smith", "Jones", "Brown"}) writer.append({name, "12"});
    writer.finish();
  }
  void TearDown() override {
    db::closeAll();
    QtTest::TearDown();
  }

  // A step that notes the progress window under the final message.
  static ModalScript::Act noteAndClose(UnderTheMessage& seen) {
    return [&seen](QWidget* box) {
      seen.message = child<QLabel>(box, "message")->text();
      if (QWidget* window = progressWindow()) {
        seen.windowShown = window->isVisible();
        seen.caption = window->findChild<QLabel*>()->text();
        seen.value = window->findChild<QProgressBar*>()->value();
        seen.maximum = window->findChild<QProgressBar*>()->maximum();
      }
      pressButton(box, "OK");
    };
  }

  app_test::ScratchDir dir;
};

TEST_F(ExportRunTest, DialogThenProgressWindowUnderTheFinalMessageThenNothing) {
  UnderTheMessage seen;
  ModalScript script;
  script
      .then("the selection dialog", titled("Create a Text Delimited File"),
            [](QWidget* w) {
              QLineEdit* table = child<QLineEdit>(w, "GET_CTABLE");
              QTest::keyClicks(table, "data/orders.dbf");
              QTest::keyClick(table, Qt::Key_Return);
              QTest::keyClick(child<QLineEdit>(w, "GET_RLFIELDLINE"), Qt::Key_Return);
            })
      .then("the final message", named("guiAlert"), noteAndClose(seen));
  app::appMain({});
  EXPECT_EQ(seen.message,
            "Program Ended Normally\n\nFile data/ORDERS.CSV Created with 3 records.");
  EXPECT_TRUE(seen.windowShown);
  EXPECT_EQ(seen.caption, "Creating Delimited File data/ORDERS.CSV");
  EXPECT_EQ(seen.maximum, 3);
  EXPECT_EQ(seen.value, 3);
  EXPECT_EQ(progressWindow(), nullptr);
  EXPECT_EQ(rt::errorLevel(), 0);
  EXPECT_EQ(rt_test::readFile("data/ORDERS.CSV"),
            "\"NAME\",\"QTY\"\r\n\"Smith\",\"12\"\r\n\"Jones\",\"12\"\r\n\"Brown\",\"12\"\r\n");
}

TEST_F(ExportRunTest, CancelledDialogEndsTheRunWithExitCodeOneAndNoMessage) {
  ModalScript script;
  script.then("the selection dialog", titled("Create a Text Delimited File"),
              [](QWidget* w) { pressButton(w, "Cancel"); });
  app::appMain({});
  EXPECT_EQ(rt::errorLevel(), 1);
  EXPECT_EQ(progressWindow(), nullptr);
  EXPECT_FALSE(std::filesystem::exists("data/ORDERS.CSV"));
}

}  // namespace
}  // namespace qt_testing
