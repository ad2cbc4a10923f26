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

class QtToolkit : public WindowedToolkit {
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
  Answer confirmBox(const std::string& text, const std::string& title, Buttons buttons,
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
  // The picker starts at the start location; the field keeps its content
  // on cancel.
  std::optional<std::string> popFile(const FilePick& pick) override { return qt::pickFile(pick); }
};

}  // namespace

std::unique_ptr<Toolkit> makeQtToolkit() {
  if (!qt::displayUsable()) return nullptr;
  return std::make_unique<QtToolkit>();
}

}  // namespace ui
