#include "platform/ui/qt/qt_application.hpp"

#include <QApplication>
#include <QIcon>
#include <QWidget>

namespace ui::qt {
namespace {

bool iconWanted = false;

void applyIcon() {
  if (iconWanted && QApplication::instance()) {
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/dbf2csv/dbf2csv.png")));
  }
}

}  // namespace

QApplication& ensureApplication() {
  if (auto* existing = qobject_cast<QApplication*>(QCoreApplication::instance())) {
    return *existing;
  }
  // QApplication keeps references to argc and argv for its whole life, and
  // it lives until the process ends: destroying it among the other static
  // objects at exit would race Qt's own teardown.
  static int argc = 1;
  static char name[] = "dbf2csv";
  static char* argv[] = {name, nullptr};
  static QApplication* app = new QApplication(argc, argv);
  QApplication::setApplicationName(QStringLiteral("dbf2csv"));
  QApplication::setQuitOnLastWindowClosed(false);
  applyIcon();
  return *app;
}

void useDefaultIcon() {
  iconWanted = true;
  applyIcon();
}

bool defaultIconInUse() { return iconWanted; }

QWidget* activeTopLevel() {
  if (QWidget* active = QApplication::activeModalWidget()) return active;
  if (QWidget* active = QApplication::activeWindow()) return active;
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (w->isVisible() && w->isWindow()) return w;
  }
  return nullptr;
}

}  // namespace ui::qt
