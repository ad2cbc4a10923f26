// Answers the modal windows a test opens, as a person would, without ever
// hanging the test. The steps and their time limits are the same on every
// window system; each system's ModalScript (tests/ui/qt, tests/ui/win32)
// runs the timer, finds the window in front and closes what is left.
#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

namespace ui_testing {

// Steps run in order: each waits until the window in front matches, then
// acts on it; an action may open further modal windows that later steps
// answer. A step whose window does not come within the limit, or a window
// left in front as long after the last step, fails the test, and from then
// on the script gives up: every window in front is closed so that the code
// under test returns. Steps left unanswered at destruction fail the test.
template <class Window>
class ModalSteps {
 public:
  using Match = std::function<bool(Window)>;
  using Act = std::function<void(Window)>;

  ModalSteps(const ModalSteps&) = delete;
  ModalSteps& operator=(const ModalSteps&) = delete;

  // Adds a step: `what` names it in failure messages.
  ModalSteps& then(std::string what, Match match, Act act) {
    steps_.push_back({std::move(what), std::move(match), std::move(act)});
    return *this;
  }
  // Whether every step has run.
  bool done() const { return next_ == steps_.size(); }

 protected:
  explicit ModalSteps(std::chrono::milliseconds limit) : limit_(limit), since_(Clock::now()) {}
  ~ModalSteps() {
    if (!gaveUp_ && !done()) ADD_FAILURE() << "the test ended before this window came: " << steps_[next_].what;
  }

  // One tick of the system's timer with the window in front (null when
  // none): the action of the step it matches, which the caller runs; empty
  // when there is none to run.
  Act due(Window front, const std::string& frontName) {
    if (gaveUp_) return {};
    if (Clock::now() - since_ > limit_) {
      if (!done()) ADD_FAILURE() << "no window came for: " << steps_[next_].what;
      else if (front) ADD_FAILURE() << "this window stayed open after the last step: " << frontName;
      gaveUp_ = !done() || front;
      return {};
    }
    if (done() || !front || !steps_[next_].match(front)) return {};
    since_ = Clock::now();
    return steps_[next_++].act;
  }
  // The clock of the step due starts again (once the action has run).
  void restart() { since_ = Clock::now(); }
  bool gaveUp() const { return gaveUp_; }

 private:
  using Clock = std::chrono::steady_clock;
  struct Step {
    std::string what;
    Match match;
    Act act;
  };

  std::vector<Step> steps_;
  std::size_t next_ = 0;
  bool gaveUp_ = false;
  std::chrono::milliseconds limit_;
  Clock::time_point since_;
};

}  // namespace ui_testing
