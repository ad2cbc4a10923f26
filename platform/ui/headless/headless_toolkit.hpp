// The headless backend: no user. Messages go to standard error, modal boxes
// return at once, and a question that needs a person is answered so that the
// program stops rather than retries or ignores. Text mode, no application
// window, no progress output.
#pragma once

#include <iosfwd>
#include <string>

#include "platform/ui/toolkit.hpp"

namespace ui {

// Writes a message text to `out`, each `lineBreak` starting a new line, and
// ends it with a line feed.
void writeMessage(std::ostream& out, const std::string& text, char lineBreak);

// A progress bar that draws nothing.
class SilentProgressBar : public ProgressBar {
 protected:
  void redraw(std::uint64_t) override {}
};

class HeadlessToolkit : public Toolkit {
 public:
  // Writes to standard error; tests hand in a stream of their own.
  HeadlessToolkit();
  explicit HeadlessToolkit(std::ostream& err);

  std::string name() const override { return "headless"; }
  void alert(const std::string& text) override;
  void guiAlert(const std::string& text, const std::string& title,
                const std::string& font) override;
  // Writes the text (CR breaks lines) and answers unattendedAnswer().
  Answer confirmBox(const std::string& text, const std::string& title, Buttons buttons,
                    int style) override;
  void msgBox(const std::string& text, const std::string& title) override;
  // Writes the text and the options; answers the first option.
  int textAlert(const std::string& text, const std::vector<std::string>& options) override;
  // Nobody can fill in a dialog: always cancelled (false).
  bool readModal(ElementList& elements, const std::string& title,
                 const std::function<void()>& onWindow) override;
  // A window that shows nothing, with silent progress bars.
  std::unique_ptr<Window> readNonModal(ElementList& elements, const std::string& title) override;
  // Nobody can pick a file: cancelled (nullopt).
  std::optional<std::string> popFile(const FilePick& pick) override;
  Mode mode() const override { return Mode::Unattended; }
  bool hasAppWindow() const override { return false; }

 protected:
  std::ostream& err() const { return err_; }

 private:
  std::ostream& err_;
};

}  // namespace ui
