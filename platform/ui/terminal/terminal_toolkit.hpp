// The terminal backend: a person at a shell. Messages are printed on
// standard error and not awaited (they stay on the screen); the progress
// window is a progress line on standard error; dialogs, confirm boxes and
// text alerts are prompts answered on standard input. Text mode, with the
// terminal as the application window.
#pragma once

#include <iosfwd>
#include <vector>

#include "platform/ui/headless/headless_toolkit.hpp"
#include "platform/ui/terminal/terminal_dialog.hpp"

namespace ui {

class ProgressLine;

class TerminalToolkit : public HeadlessToolkit {
 public:
  // Standard input and standard error, the width taken from the terminal.
  TerminalToolkit();
  // Used by tests: answers from `in`, output to `err`, `columns` wide and
  // `rows` high.
  TerminalToolkit(std::istream& in, std::ostream& err, int columns, int rows = 24);

  std::string name() const override { return "terminal"; }
  void alert(const std::string& text) override;
  void guiAlert(const std::string& text, const std::string& title,
                const std::string& font) override;
  void msgBox(const std::string& text, const std::string& title) override;
  // Asks for one of the buttons by its first letter; at the end of input
  // answers as the headless backend does.
  Answer confirmBox(const std::string& text, const std::string& title, Buttons buttons,
                    int style) override;
  // A numbered menu of the options; at the end of input, the first option.
  int textAlert(const std::string& text, const std::vector<std::string>& options) override;
  // The entry fields as prompts, in order; false when input ends (cancel).
  bool readModal(ElementList& elements, const std::string& title,
                 const std::function<void()>& onWindow) override;
  // A window whose progress bars are progress lines on standard error.
  std::unique_ptr<Window> readNonModal(ElementList& elements, const std::string& title) override;
  // Lists the files matching `mask` in the start location to pick by number;
  // nullopt when the person picks none or input ends.
  std::optional<std::string> popFile(const FilePick& pick) override;
  Mode mode() const override { return Mode::Text; }
  bool hasAppWindow() const override { return true; }
  bool appWindowIsConsole() const override { return true; }

  // Progress lines on the screen register here so that a message ends the
  // line first instead of being written into it.
  void addLine(ProgressLine* line);
  void removeLine(ProgressLine* line);

 private:
  void interruptLines();

  std::istream& in_;
  Screen screen_;
  std::vector<ProgressLine*> lines_;
};

}  // namespace ui
