// The file picker of the table-name field.
#include <fstream>

#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QTemporaryDir>

#include "platform/rt/strings.hpp"
#include "platform/ui/qt/file_picker.hpp"
#include "tests/ui/qt/modal_script.hpp"
#include "tests/ui/qt/qt_fixture.hpp"

namespace qt_testing {
namespace {

const std::vector<std::pair<std::string, std::string>> kFilters = {{"Database Tables", "*.DBF"}};

class FilePickerTest : public QtTest {
 protected:
  void SetUp() override {
    QtTest::SetUp();
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(QDir(dir.path()).mkdir("data"));
    std::ofstream(QDir(dir.path()).filePath("data/orders.dbf").toStdString()) << "x";
  }

  std::string path(const char* relative) const {
    return QDir(dir.path()).filePath(relative).toStdString();
  }

  QTemporaryDir dir;
};

struct PickerView {
  QString title;
  QString directory;
  QString filter;
  QStringList selected;
};

ModalScript::Act notePicker(PickerView& view, const QString& type) {
  return [&view, type](QWidget* w) {
    auto* picker = qobject_cast<QFileDialog*>(w);
    ASSERT_NE(picker, nullptr);
    view = {picker->windowTitle(), picker->directory().absolutePath(),
            picker->selectedNameFilter(), picker->selectedFiles()};
    if (type.isEmpty()) return picker->reject();
    // Typed into the name line and accepted, as selectFile() may race with
    // the window's activation.
    child<QLineEdit>(picker, "fileNameEdit")->setText(type);
    static_cast<QDialog*>(picker)->accept();
  };
}

TEST_F(FilePickerTest, MaskMatchesEveryLetterCase) {
  const QStringList patterns = ui::qt::anyCasePatterns("*.DBF");
  EXPECT_EQ(patterns.size(), 8);
  for (const char* p : {"*.DBF", "*.dbf", "*.Dbf", "*.dBf", "*.dbF"}) {
    EXPECT_TRUE(patterns.contains(p)) << p;
  }
  EXPECT_EQ(ui::qt::anyCasePatterns("*"), QStringList({"*"}));
}

TEST_F(FilePickerTest, PickStartsAtTheLocationAndReturnsThePath) {
  PickerView view;
  ModalScript script;
  script.then("the picker", titled("Select"), notePicker(view, "orders.dbf"));
  const auto picked = ui::toolkit().popFile({"", path("data") + "/", "*.DBF", "Select", kFilters});
  EXPECT_EQ(view.directory, QDir(dir.path()).filePath("data"));
  EXPECT_TRUE(view.filter.startsWith("Database Tables (*.DBF ")) << view.filter.toStdString();
  EXPECT_TRUE(view.filter.contains(" *.dbf")) << view.filter.toStdString();
  ASSERT_TRUE(picked);
  EXPECT_EQ(*picked, path("data/orders.dbf"));
}

TEST_F(FilePickerTest, CancelledPickGivesNothing) {
  PickerView view;
  ModalScript script;
  script.then("the picker", titled("Select"), notePicker(view, ""));
  EXPECT_FALSE(ui::toolkit().popFile({"X", path(""), "*.DBF", "Select", kFilters}));
}

TEST_F(FilePickerTest, UpperCaseNameWithBlanksStartsAtItsDirectoryWithTheTableChosen) {
  PickerView view;
  ModalScript script;
  script.then("the picker", titled("Select"), notePicker(view, ""));
  const std::string start = rt::padR(rt::upper(path("data/orders.dbf")), 200);
  ui::toolkit().popFile({start, start, "*.DBF", "Select", kFilters});
  EXPECT_EQ(view.directory, QDir(dir.path()).filePath("data"));
  EXPECT_EQ(view.selected, QStringList({QDir(dir.path()).filePath("data/orders.dbf")}));
}

TEST_F(FilePickerTest, BlankOrMissingLocationStartsAtTheNearestExistingDirectory) {
  const std::vector<std::pair<std::string, QString>> cases = {
      {"   ", QDir::currentPath()},
      {path("data/gone/deeper/t.dbf"), QDir(dir.path()).filePath("data")},
  };
  for (const auto& [start, expected] : cases) {
    PickerView view;
    ModalScript script;
    script.then("the picker", titled("Select"), notePicker(view, ""));
    ui::toolkit().popFile({"", start, "*.DBF", "Select", kFilters});
    EXPECT_EQ(view.directory, expected) << start;
  }
}

}  // namespace
}  // namespace qt_testing
