// The file picker of the table-name field.
#include <fstream>

#include <QDir>
#include <QFileDialog>
#include <QHeaderView>
#include <QLineEdit>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

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

TEST_F(FilePickerTest, TheFilterReadsAsWrittenMatchesAnyCaseAndTheColumnsFit) {
  for (const char* name : {"data/ORDERS2.DBF", "data/Mixed.Dbf", "data/notes.txt"}) {
    std::ofstream(path(name)) << "x";
  }
  std::ofstream(path("data/ORDERS2.DBF")) << std::string(781, 'x');
  // Every Qt program's file dialog keeps its columns' widths in the user's
  // QtProject settings: here ones narrowed in some earlier dialog.
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
  {
    QFileDialog earlier;
    earlier.setOption(QFileDialog::DontUseNativeDialog);
    QHeaderView* header = child<QTreeView>(&earlier, "treeView")->header();
    for (int column = 1; column < header->count(); ++column) header->resizeSection(column, 20);
    QSettings(QSettings::UserScope, QStringLiteral("QtProject"))
        .setValue(QStringLiteral("FileDialog/treeViewHeader"), header->saveState());
  }
  QString filter;
  QStringList listed;
  int columnsEnd = 0, viewWidth = 0;
  QStringList cut;  // the cells narrower than their text
  ModalScript script;
  script.then("the picker", titled("Select"), [&](QWidget* w) {
    auto* picker = qobject_cast<QFileDialog*>(w);
    ASSERT_NE(picker, nullptr);
    filter = picker->selectedNameFilter();
    auto* tree = child<QTreeView>(picker, "treeView");
    const QAbstractItemModel* model = tree->model();
    // The model reads the folder in the background; what it then lists is
    // checked below.
    (void)QTest::qWaitFor([&] { return model->rowCount(tree->rootIndex()) >= 3; }, 5000);
    for (int row = 0; row < model->rowCount(tree->rootIndex()); ++row) {
      const QModelIndex item = model->index(row, 0, tree->rootIndex());
      if (model->flags(item) & Qt::ItemIsEnabled) listed << item.data().toString();
    }
    const QHeaderView* header = tree->header();
    const auto cutCells = [&] {
      QStringList narrow;
      for (int row = 0; row < model->rowCount(tree->rootIndex()); ++row) {
        for (int column = 1; column < header->count(); ++column) {
          const QModelIndex cell = model->index(row, column, tree->rootIndex());
          if (header->sectionSize(column) < tree->sizeHintForIndex(cell).width()) narrow << cell.data().toString();
        }
      }
      return narrow;
    };
    // The columns fit their contents once the view has laid out what the
    // model read in the background, which a slow build sees a little later.
    (void)QTest::qWaitFor([&] { return cutCells().isEmpty(); }, 5000);
    cut = cutCells();
    const int last = header->logicalIndex(header->count() - 1);
    columnsEnd = header->sectionViewportPosition(last) + header->sectionSize(last);
    viewWidth = tree->viewport()->width();
    picker->reject();
  });
  ui::toolkit().popFile({"", path("data") + "/", "*.DBF", "Select", kFilters});
  EXPECT_EQ(filter, "Database Tables (*.dbf)");
  listed.sort();
  EXPECT_EQ(listed, QStringList({"Mixed.Dbf", "ORDERS2.DBF", "orders.dbf"}));
  // Name, size, type and date all within the view, none cut off.
  EXPECT_GT(viewWidth, 0);
  EXPECT_LE(columnsEnd, viewWidth);
  EXPECT_EQ(cut.join(QStringLiteral(", ")).toStdString(), "") << "cut short";
}

TEST_F(FilePickerTest, PickStartsAtTheLocationAndReturnsThePath) {
  PickerView view;
  ModalScript script;
  script.then("the picker", titled("Select"), notePicker(view, "orders.dbf"));
  const auto picked = ui::toolkit().popFile({"", path("data") + "/", "*.DBF", "Select", kFilters});
  EXPECT_EQ(view.directory, QDir(dir.path()).filePath("data"));
  EXPECT_EQ(view.filter, "Database Tables (*.dbf)");
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
