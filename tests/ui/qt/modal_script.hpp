// Answers the modal windows of a Qt test, as a person would, without ever
// hanging the test.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <QPointer>
#include <QString>
#include <QTimer>
#include <QWidget>

#include "tests/ui/modal_script.hpp"

namespace qt_testing {

// The steps of ui_testing::ModalSteps on Qt: a repeating timer looks at the
// modal window in front (QApplication::activeModalWidget) and runs a
// step's action from the event loop, so that the modal windows it opens get
// their answers from later ticks; giving up rejects the dialog in front.
class ModalScript : public ui_testing::ModalSteps<QWidget*> {
 public:
  ModalScript();
  ~ModalScript();

 private:
  void tick();

  bool busy_ = false;
  QTimer timer_;
};

// Matches a window whose title is `title` (and, when given, of class T).
ModalScript::Match titled(const QString& title);
// Matches a window with this object name.
ModalScript::Match named(const QString& objectName);

// The child of `root` with this object name; fails the test when missing.
template <class T>
T* child(QWidget* root, const QString& name) {
  T* found = root ? root->findChild<T*>(name) : nullptr;
  if (!found) ADD_FAILURE() << "no " << name.toStdString() << " in the window";
  return found;
}

// Presses the button with this text (mnemonics ignored) in `window`.
void pressButton(QWidget* window, const QString& text);
// The texts of the visible buttons of `window`, sorted.
std::vector<std::string> buttonTexts(QWidget* window);

}  // namespace qt_testing
