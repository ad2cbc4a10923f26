// The table selection dialog on real Qt windows, used as a person would:
// typing, Enter, the [...] button, OK and Cancel.
#include <filesystem>
#include <fstream>

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>

#include "platform/db/workarea.hpp"
#include "platform/db/workarea_test_helper.hpp"
#include "platform/rt/files.hpp"
#include "src/app/table_dialog.hpp"
#include "src/runtime/startup.hpp"
#include "tests/support/scratch_dir.hpp"
#include "tests/support/dbf_writer.hpp"
#include "tests/ui/qt/modal_script.hpp"
#include "tests/ui/qt/qt_fixture.hpp"

namespace qt_testing {
namespace {

const QString kTitle = "Create a Text Delimited File";

class SelectionDialogTest : public QtTest {
 protected:
  void SetUp() override {
    QtTest::SetUp();
    db::closeAll();
    runtime::dbeSys();
    std::filesystem::create_directory("data");
    writeTable("data/orders.dbf", {{"NAME", 'C', 10}, {"QTY", 'N', 5}});
    writeTable("data/customers.dbf", {{"CUSTNO", 'N', 6}, {"CITY", 'C', 20}, {"SINCE", 'D', 8}});
    dir.write("data/broken.dbf", "not a table");
  }
  void TearDown() override {
    db::closeAll();
    QtTest::TearDown();
  }

  static void writeTable(const std::string& path, std::vector<test_support::FieldSpec> fields) {
    test_support::TableShape shape;
    shape.fields = std::move(fields);
    test_support::DbfWriter writer(path, shape);
    writer.append(std::vector<std::string>(shape.fields.size(), "1"));
    writer.finish();
  }

  std::string run() { return app::getTableName(rlFieldLine, rcDriver, startDir()); }
  std::string startDir() const { return (dir.path() / "data").string(); }
  static std::string memos() { return rt::memoRead("MEMOS.SYS"); }
  static int fieldsOfInput() {
    return db::inArea(db::select("INPUT"), [] { return db::fCount(); });
  }

  app_test::ScratchDir dir;
  bool rlFieldLine = true;
  std::string rcDriver;
};

QLineEdit* tableField(QWidget* w) { return child<QLineEdit>(w, "GET_CTABLE"); }
QLineEdit* yesNoField(QWidget* w) { return child<QLineEdit>(w, "GET_RLFIELDLINE"); }

// Types `name` into the table-name field and presses Enter twice: through
// the check, then through the Y/N field, which confirms.
ModalScript::Act typeAndEnterThrough(const QString& name, const QString& yesNo = "") {
  return [name, yesNo](QWidget* w) {
    QTest::keyClicks(tableField(w), name);
    QTest::keyClick(tableField(w), Qt::Key_Return);
    if (!yesNo.isEmpty()) QTest::keyClicks(yesNoField(w), yesNo);
    QTest::keyClick(yesNoField(w), Qt::Key_Return);
  };
}

TEST_F(SelectionDialogTest, TypedNameIsCheckedOpenedReturnedAndItsDirectoryRemembered) {
  ModalScript script;
  script.then("the dialog", titled(kTitle), typeAndEnterThrough("data/orders.dbf"));
  EXPECT_EQ(run(), "DATA/ORDERS.DBF");
  EXPECT_EQ(memos(), "data/");  // the folder as it is on disk
  EXPECT_GT(db::select("INPUT"), 0);
  EXPECT_EQ(fieldsOfInput(), 2);
  EXPECT_EQ(rcDriver, "DBFNTX");
  EXPECT_TRUE(rlFieldLine);
  EXPECT_TRUE(ui::toolkit().hasAppWindow());
}

TEST_F(SelectionDialogTest, EachCheckMessageKeepsTheUserInTheField) {
  const std::vector<std::pair<QString, QString>> cases = {
      {"", "YOU CAN NOT LEAVE THIS EMPTY.\nUSE THE [...] BUTTON TO TAG A TABLE NAME."},
      {"data/*.dbf", "NO WILDCARD CHARACTERS ALLOWED."},
      {"data/nothing.dbf",
       "FILE DATA/NOTHING.DBF NOT FOUND.\n\nUSE [...] BUTTON TO TAG A TABLE NAME."},
      {"data/broken.dbf", "NOT ABLE TO OPEN DATA/BROKEN.DBF"},
  };
  for (const auto& [typed, message] : cases) {
    SCOPED_TRACE(typed.toStdString());
    QString shown;
    QString focus;
    ModalScript script;
    script
        .then("the dialog", titled(kTitle),
              [typed = typed](QWidget* w) {
                QTest::keyClicks(tableField(w), typed);
                QTest::keyClick(tableField(w), Qt::Key_Return);
              })
        .then("the check's message", named("guiAlert"),
              [&shown](QWidget* w) {
                shown = child<QLabel>(w, "message")->text();
                pressButton(w, "OK");
              })
        .then("the dialog again", titled(kTitle), [&focus](QWidget* w) {
          focus = w->focusWidget() ? w->focusWidget()->objectName() : QString();
          pressButton(w, "Cancel");
        });
    EXPECT_EQ(run(), "");
    EXPECT_EQ(shown, message);
    EXPECT_EQ(focus, "GET_CTABLE");
    EXPECT_EQ(db::select("INPUT"), 0);
  }
}

TEST_F(SelectionDialogTest, CancelReturnsNothingAndLeavesMemosSysAlone) {
  std::ofstream("MEMOS.SYS") << "elsewhere/";
  ModalScript script;
  script.then("the dialog", titled(kTitle), [](QWidget* w) {
    QTest::keyClicks(tableField(w), "data/orders.dbf");
    QTest::keyClick(tableField(w), Qt::Key_Escape);
  });
  EXPECT_EQ(run(), "");
  EXPECT_EQ(memos(), "elsewhere/");
}

TEST_F(SelectionDialogTest, RememberedDirectoryStartsTheNextDialog) {
  QString shownNextTime;
  ModalScript script;
  script.then("the first dialog", titled(kTitle), typeAndEnterThrough("data/orders.dbf"))
      .then("the next dialog", titled(kTitle), [&shownNextTime](QWidget* w) {
        shownNextTime = tableField(w)->text();
        pressButton(w, "Cancel");
      });
  ASSERT_EQ(run(), "DATA/ORDERS.DBF");
  db::closeAll();
  run();
  EXPECT_EQ(shownNextTime, "data/");
}

TEST_F(SelectionDialogTest, PickerFillsTheField) {
  QString pickerDirectory;
  QString field;
  ModalScript script;
  script.then("the dialog", titled(kTitle),
              [](QWidget* w) { child<QToolButton>(w, "GET_CTABLE_popup")->click(); })
      .then("the picker", titled("Select"),
            [&pickerDirectory](QWidget* w) {
              auto* picker = qobject_cast<QFileDialog*>(w);
              pickerDirectory = picker->directory().absolutePath();
              child<QLineEdit>(picker, "fileNameEdit")->setText("customers.dbf");
              static_cast<QDialog*>(picker)->accept();
            })
      .then("the dialog with the pick", titled(kTitle), [&field](QWidget* w) {
        field = tableField(w)->text();
        pressButton(w, "OK");
      });
  // The field shows the folders as they are on disk and the file name
  // upper-cased; the dialog hands back the very file picked.
  EXPECT_EQ(run(), startDir() + "/customers.dbf");
  EXPECT_EQ(pickerDirectory.toStdString(), startDir());
  EXPECT_EQ(field.toStdString(), startDir() + "/CUSTOMERS.DBF");
  EXPECT_EQ(fieldsOfInput(), 3);
}

TEST_F(SelectionDialogTest, EditedNameAfterAPassedCheckOpensTheNewTableInstead) {
  ModalScript script;
  script.then("the dialog", titled(kTitle), [](QWidget* w) {
    QTest::keyClicks(tableField(w), "data/orders.dbf");
    QTest::keyClick(tableField(w), Qt::Key_Return);  // checked: ORDERS is open
    QTest::keyClick(yesNoField(w), Qt::Key_Up);      // back to the name
    QTest::keyClicks(tableField(w), "data/customers.dbf");
    pressButton(w, "OK");
  });
  EXPECT_EQ(run(), "DATA/CUSTOMERS.DBF");
  EXPECT_EQ(fieldsOfInput(), 3);
  EXPECT_EQ(db::workspaceList().size(), 1u);
}

TEST_F(SelectionDialogTest, NInTheYesNoFieldHandsBackFalse) {
  ModalScript script;
  script.then("the dialog", titled(kTitle), typeAndEnterThrough("data/orders.dbf", "n"));
  EXPECT_EQ(run(), "DATA/ORDERS.DBF");
  EXPECT_FALSE(rlFieldLine);
}

}  // namespace
}  // namespace qt_testing
