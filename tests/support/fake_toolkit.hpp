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
    int buttons = 0;
    int style = 0;
  };

  std::vector<Shown> shown;
  std::deque<int> confirmAnswers;   // default: box::IdOk
  std::deque<int> textAlertAnswers; // default: 1
  std::deque<bool> modalAnswers;    // default: false (cancel)
  int applicationType = 3;
  bool appWindow = true;
  std::vector<std::uint64_t> redraws;  // positions drawn by every bar
  int windowsShown = 0;
  int windowsDestroyed = 0;

  std::string name() const override { return "fake"; }
  void alert(const std::string& text) override;
  void guiAlert(const std::string& text, const std::string& title,
                const std::string& font) override;
  int confirmBox(const std::string& text, const std::string& title, int buttons,
                 int style) override;
  void msgBox(const std::string& text, const std::string& title) override;
  int textAlert(const std::string& text, const std::vector<std::string>& options) override;
  bool readModal(ui::ElementList& elements, const std::string& title,
                 const std::function<void()>& onWindow) override;
  std::unique_ptr<ui::Window> readNonModal(ui::ElementList& elements,
                                           const std::string& title) override;
  std::optional<std::string> popFile(
      const std::string& content, const std::string& start, const std::string& mask,
      const std::string& title,
      const std::vector<std::pair<std::string, std::string>>& filters) override;
  int appType() const override { return applicationType; }
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
