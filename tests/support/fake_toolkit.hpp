// A scripted toolkit for tests: records every box and alert shown, answers
// confirm boxes, text alerts and dialogs from queues, and builds windows
// whose progress bars record their redraws.
#pragma once

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/toolkit.hpp"

namespace testing_support {

class FakeToolkit : public ui::Toolkit {
 public:
  struct Shown {
    std::string kind;  // "alert", "guiAlert", "confirmBox", "msgBox", "textAlert", ...
    std::string text;
    std::string title;
    ui::Buttons buttons = ui::Buttons::Ok;
    int style = 0;
  };

  std::vector<Shown> shown;
  std::deque<ui::Answer> confirmAnswers;  // default: Answer::Ok
  std::deque<int> textAlertAnswers; // default: 1
  std::deque<bool> modalAnswers;    // default: false (cancel)
  ui::Mode kitMode = ui::Mode::Windowed;
  bool appWindow = true;
  std::vector<std::uint64_t> redraws;  // positions drawn by every bar
  std::vector<std::string> keptRedraws;  // the kept count each of them showed, "" for none
  int windowsShown = 0;
  int windowsDestroyed = 0;

  std::string name() const override { return "fake"; }
  void alert(const std::string& text) override;
  void guiAlert(const std::string& text, const std::string& title,
                const std::string& font) override;
  ui::Answer confirmBox(const std::string& text, const std::string& title, ui::Buttons buttons,
                        int style) override;
  void msgBox(const std::string& text, const std::string& title) override;
  int textAlert(const std::string& text, const std::vector<std::string>& options) override;
  bool readModal(ui::ElementList& elements, const std::string& title,
                 const std::function<void()>& onWindow) override;
  std::unique_ptr<ui::Window> readNonModal(ui::ElementList& elements,
                                           const std::string& title) override;
  std::optional<std::string> popFile(const ui::FilePick& pick) override;
  ui::Mode mode() const override { return kitMode; }
  bool hasAppWindow() const override { return appWindow; }

  // The texts of every box of `kind`, in order.
  std::vector<std::string> texts(const std::string& kind) const;
};

// Installs a FakeToolkit for the scope and puts the previous toolkit back.
class ScopedFakeToolkit {
 public:
  ScopedFakeToolkit();
  ~ScopedFakeToolkit();
  FakeToolkit& operator*() { return *fake_; }
  FakeToolkit* operator->() { return fake_; }

 private:
  FakeToolkit* fake_;
  std::unique_ptr<ui::Toolkit> previous_;
};

}  // namespace testing_support
