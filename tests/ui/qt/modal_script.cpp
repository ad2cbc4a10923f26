#include "tests/ui/qt/modal_script.hpp"

#include <algorithm>

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>

namespace qt_testing {
namespace {

// Long enough for a loaded machine; only reached when a window never comes.
constexpr int kWatchdogMs = 20000;
constexpr int kTickMs = 10;

QString plain(QString text) { return text.remove(QLatin1Char('&')); }

std::vector<QAbstractButton*> visibleButtons(QWidget* window) {
  std::vector<QAbstractButton*> buttons;
  for (QAbstractButton* b : window->findChildren<QAbstractButton*>()) {
    if (b->isVisible()) buttons.push_back(b);
  }
  return buttons;
}

}  // namespace

ModalScript::ModalScript() : ModalSteps(std::chrono::milliseconds(kWatchdogMs)) {
  QObject::connect(&timer_, &QTimer::timeout, [this] { tick(); });
  timer_.start(kTickMs);
}

ModalScript::~ModalScript() { timer_.stop(); }

void ModalScript::tick() {
  if (busy_) return restart();
  QWidget* front = QApplication::activeModalWidget();
  if (front && !front->isVisible()) front = nullptr;
  const Act act = due(front, front ? front->windowTitle().toStdString() : std::string());
  if (gaveUp()) {
    if (auto* dialog = qobject_cast<QDialog*>(front)) dialog->done(QDialog::Rejected);
    return;
  }
  if (!act) return;
  // The action runs from the event loop, not inside this timer's slot, so
  // the modal windows it opens get their own answers from later ticks.
  busy_ = true;
  QPointer<QWidget> target(front);
  QTimer::singleShot(0, [this, act, target] {
    busy_ = false;
    restart();
    if (target) act(target);
  });
}

ModalScript::Match titled(const QString& title) {
  return [title](QWidget* w) { return w->windowTitle() == title; };
}

ModalScript::Match named(const QString& objectName) {
  return [objectName](QWidget* w) { return w->objectName() == objectName; };
}

void pressButton(QWidget* window, const QString& text) {
  for (QAbstractButton* b : visibleButtons(window)) {
    if (plain(b->text()) == text) return b->click();
  }
  ADD_FAILURE() << "no button " << text.toStdString() << " in "
                << window->windowTitle().toStdString();
}

std::vector<std::string> buttonTexts(QWidget* window) {
  std::vector<std::string> texts;
  for (QAbstractButton* b : visibleButtons(window)) texts.push_back(plain(b->text()).toStdString());
  std::sort(texts.begin(), texts.end());
  return texts;
}

}  // namespace qt_testing
