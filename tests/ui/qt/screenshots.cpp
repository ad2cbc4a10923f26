// Takes the screenshots of the README: the selection dialog, the progress
// window with the final message over it, and an error box. Run by hand:
//   qt_screenshots DIR
// on Qt's offscreen platform (or under Xvfb); writes three PNG files to DIR.
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <iostream>

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QPainter>
#include <QTest>
#include <QTimer>

#include "platform/db/workarea.hpp"
#include "platform/db/workarea_test_helper.hpp"
#include "platform/rt/program_end.hpp"
#include "platform/ui/qt/qt_application.hpp"
#include "platform/ui/qt/qt_toolkit.hpp"
#include "src/app/app.hpp"
#include "src/app/table_dialog.hpp"
#include "src/errors/errors.hpp"
#include "src/runtime/startup.hpp"
#include "tests/support/dbf_writer.hpp"

namespace {

// The picture of a window with a plain title bar drawn above it, since a
// grab holds the inside of a window only.
QImage framed(QWidget* w) {
  const QImage inside = w->grab().toImage();
  const int bar = 28;
  QImage out(inside.width() + 2, inside.height() + bar + 1, QImage::Format_ARGB32);
  out.fill(QColor(60, 70, 90));
  QPainter p(&out);
  p.fillRect(1, 1, inside.width(), bar - 1, QColor(44, 74, 122));
  QApplication::windowIcon().paint(&p, QRect(7, 6, 18, 18));
  QFont font = QApplication::font();
  font.setBold(true);
  p.setFont(font);
  p.setPen(Qt::white);
  p.drawText(QRect(32, 1, inside.width() - 36, bar - 1), Qt::AlignVCenter, w->windowTitle());
  p.drawImage(1, bar, inside);
  return out;
}

// `top` over `under`, offset towards the lower right, on one picture.
QImage overlaid(const QImage& under, const QImage& top) {
  const QPoint at(under.width() / 4, under.height() - 24);
  QImage out(std::max(under.width(), at.x() + top.width()) + 8,
             std::max(under.height(), at.y() + top.height()) + 8, QImage::Format_ARGB32);
  out.fill(QColor(225, 228, 232));
  QPainter p(&out);
  p.drawImage(0, 0, under);
  p.fillRect(QRect(at + QPoint(5, 5), top.size()), QColor(0, 0, 0, 60));
  p.drawImage(at, top);
  return out;
}

// Runs `act` on the modal window in front once it is titled `title`.
void whenModal(const QString& title, std::function<void(QWidget*)> act) {
  auto* timer = new QTimer;
  QObject::connect(timer, &QTimer::timeout, [timer, title, act] {
    QWidget* front = QApplication::activeModalWidget();
    if (!front || front->windowTitle() != title) return;
    timer->stop();
    timer->deleteLater();
    QTimer::singleShot(0, [front, act] { act(front); });
  });
  timer->start(20);
}

void save(const QImage& image, const std::filesystem::path& file) {
  if (!image.save(QString::fromStdString(file.string()))) {
    std::cerr << "qt_screenshots: cannot write " << file << "\n";
  }
}

// A table whose header claims `claimed` records of which only `records`
// are in the file.
void writeTable(const std::string& path, int records, int claimed) {
  test_support::TableShape shape;
  shape.fields = {{"CUSTNO", 'N', 6}, {"NAME", 'C', 20}, {"CITY", 'C', 16}, {"SINCE", 'D', 8}};
  std::uint64_t kept = 0;
  {
    test_support::DbfWriter writer(path, shape);
    for (int i = 1; i <= claimed; ++i) {
      const std::string n = std::to_string(i);
      writer.append({n, "Customer " + n, "Springfield", "20110827"});
    }
    kept = writer.headerLength() + static_cast<std::uint64_t>(records) * writer.recordLength();
    writer.finish();
  }
  if (records < claimed) test_support::truncateFile(path, kept);
}

void selectionDialog(const std::filesystem::path& out) {
  whenModal("Create a Text Delimited File", [out](QWidget* w) {
    QTest::keyClicks(w->findChild<QLineEdit*>("GET_CTABLE"), "C:\\DATA\\CUSTOMERS.DBF");
    save(framed(w), out / "selection_dialog.png");
    QTest::keyClick(w, Qt::Key_Escape);
  });
  bool lFieldLine = true;
  std::string cDriver;
  app::getTableName(lFieldLine, cDriver, "C:\\DATA");
}

QWidget* windowTitled(const QString& title) {
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (w->isVisible() && w->windowTitle() == title) return w;
  }
  return nullptr;
}

void progressWithFinalMessage(const std::filesystem::path& out) {
  whenModal("Alert", [out](QWidget* box) {
    if (QWidget* progress = windowTitled("Create a Text Delimited File - Version 08.27.2011")) {
      save(overlaid(framed(progress), framed(box)), out / "progress_and_final_message.png");
    }
    QTest::keyClick(box, Qt::Key_Return);
  });
  app::appMain({"data/customers.dbf"});
}

void errorBox(const std::filesystem::path& out) {
  whenModal("Runtime Error Message", [out](QWidget* box) {
    save(framed(box), out / "error_box.png");
    for (QAbstractButton* b : box->findChildren<QAbstractButton*>()) {
      if (b->text().remove(QLatin1Char('&')) == QStringLiteral("Ignore")) b->click();
    }
  });
  whenModal("Alert", [](QWidget* box) { QTest::keyClick(box, Qt::Key_Return); });
  app::appMain({"data/truncated.dbf"});
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: qt_screenshots DIR\n";
    return 2;
  }
  const std::filesystem::path out = std::filesystem::absolute(argv[1]);
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  setenv("LC_ALL", "C", 1);
  const std::filesystem::path work = std::filesystem::temp_directory_path() / "dbf2csv-screenshots";
  std::filesystem::remove_all(work);
  std::filesystem::create_directories(work / "data");
  std::filesystem::current_path(work);
  writeTable("data/customers.dbf", 1234, 1234);
  writeTable("data/truncated.dbf", 700, 1234);

  ui::qt::ensureApplication();
  ui::setToolkit(ui::makeQtToolkit());
  errors::errorSys();
  runtime::appSys();
  runtime::dbeSys();
  ui::toolkit().iconDefault(7627);
  try {
    selectionDialog(out);
    progressWithFinalMessage(out);
    errorBox(out);
  } catch (const rt::QuitSignal&) {
    std::cerr << "qt_screenshots: the run ended early\n";
  }
  db::closeAll();
  std::filesystem::current_path(out);
  std::filesystem::remove_all(work);
  return 0;
}
