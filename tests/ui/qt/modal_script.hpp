// Answers the modal windows a test opens, as a person would, without ever
// hanging the test.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QWidget>

namespace qt_testing {

// Steps run in order from a repeating timer: each waits until the modal
// window in front (QApplication::activeModalWidget) matches, then acts on it
// from the event loop, so an action may open further modal windows that
// later steps answer. A step that does not come within the watchdog limit
// fails the test, and from then on every modal window is closed so the code
// under test returns. Steps left unanswered at destruction fail the test.
class ModalScript {
 public:
  using Match = std::function<bool(QWidget*)>;
  using Act = std::function<void(QWidget*)>;

  ModalScript();
  ~ModalScript();
  ModalScript(const ModalScript&) = delete;
  ModalScript& operator=(const ModalScript&) = delete;

  // Adds a step: `what` names it in failure messages.
  ModalScript& then(std::string what, Match match, Act act);
  // Whether every step has run.
  bool done() const { return next_ == steps_.size(); }

 private:
  struct Step {
    std::string what;
    Match match;
    Act act;
  };
  void tick();
  void giveUp();

  std::vector<Step> steps_;
  std::size_t next_ = 0;
  bool busy_ = false;
  bool gaveUp_ = false;
  QTimer timer_;
  QElapsedTimer waiting_;
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
