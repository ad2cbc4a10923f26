#include "platform/ui/qt/qt_toolkit.hpp"

#include "platform/ui/qt/display_probe.hpp"
#include "platform/ui/qt/file_picker.hpp"
#include "platform/ui/qt/message_boxes.hpp"
#include "platform/ui/qt/progress_window.hpp"
#include "platform/ui/qt/qt_application.hpp"
#include "platform/ui/qt/read_dialog.hpp"

namespace ui {
namespace {

// Resource number of the program's icon, the one UI_ICONDEFAULT names.
constexpr int kProgramIcon = 7627;

class QtToolkit : public Toolkit {
 public:
  std::string name() const override { return "qt"; }

  void iconDefault(int resource) override {
    if (resource == kProgramIcon) qt::useDefaultIcon();
  }
  void alert(const std::string& text) override { qt::showAlert(text); }
  void guiAlert(const std::string& text, const std::string& title,
                const std::string& font) override {
    qt::showGuiAlert(text, title, font);
  }
  int confirmBox(const std::string& text, const std::string& title, int buttons,
                 int style) override {
    return qt::showConfirmBox(text, title, buttons, style);
  }
  void msgBox(const std::string& text, const std::string& title) override {
    qt::showMsgBox(text, title);
  }
  int textAlert(const std::string& text, const std::vector<std::string>& options) override {
    return qt::showTextAlert(text, options);
  }

  bool readModal(ElementList& elements, const std::string& title,
                 const std::function<void()>& onWindow) override {
    qt::ensureApplication();
    qt::ReadDialog dialog(elements, title);
    return dialog.run(onWindow);
  }
  std::unique_ptr<Window> readNonModal(ElementList& elements, const std::string& title) override {
    return std::make_unique<qt::ProgressWindow>(elements, title);
  }
  std::optional<std::string> popFile(
      const std::string& content, const std::string& start, const std::string& mask,
      const std::string& title,
      const std::vector<std::pair<std::string, std::string>>& filters) override {
    (void)content;  // the picker starts at `start`; the field keeps its text on cancel
    return qt::pickFile(start, mask, title, filters);
  }

  int appType() const override { return 3; }
  bool hasAppWindow() const override { return appWindow_; }
  void setAppWindow() override { appWindow_ = true; }

 private:
  bool appWindow_ = false;
};

}  // namespace

std::unique_ptr<Toolkit> makeQtToolkit() {
  if (!qt::displayUsable()) return nullptr;
  return std::make_unique<QtToolkit>();
}

}  // namespace ui
