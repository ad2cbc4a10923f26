#include "platform/ui/terminal/terminal_toolkit.hpp"

#include <algorithm>
#include <cctype>
#include <iostream>

#include "platform/ui/system.hpp"
#include "platform/ui/terminal/progress_line.hpp"
#include "platform/ui/terminal/terminal_dialog.hpp"

namespace ui {
namespace {

Screen terminalScreen() {
  Screen screen;
  sys::terminalSize(screen.columns, screen.rows);
  return screen;
}

// The non-waiting window: its label captions name the progress line.
class TerminalWindow : public Window {
 public:
  TerminalWindow(TerminalToolkit& toolkit, std::ostream& out, ElementList& elements,
                 int columns)
      : toolkit_(toolkit) {
    std::string caption;
    for (const auto& e : elements) {
      if (e.kind == Element::Kind::Label) caption += (caption.empty() ? "" : " ") + trimmed(e.caption);
    }
    for (auto& e : elements) {
      if (e.kind != Element::Kind::ProgressBar) continue;
      auto line = std::make_unique<ProgressLine>(out, caption, columns);
      line->configure(e.maximum, e.step, e.keptWord);
      if (e.barOut) *e.barOut = line.get();
      lines_.push_back(std::move(line));
    }
  }
  ~TerminalWindow() override { destroy(); }

  void show() override {
    if (shown_) return;
    shown_ = true;
    for (auto& line : lines_) {
      toolkit_.addLine(line.get());
      line->start();
    }
  }
  void destroy() override {
    for (auto& line : lines_) {
      line->finish();
      toolkit_.removeLine(line.get());
    }
  }

 private:
  static std::string trimmed(std::string s) {
    while (!s.empty() && s.back() == ' ') s.pop_back();
    return s;
  }

  TerminalToolkit& toolkit_;
  std::vector<std::unique_ptr<ProgressLine>> lines_;
  bool shown_ = false;
};

}  // namespace

TerminalToolkit::TerminalToolkit()
    : HeadlessToolkit(std::cerr), in_(std::cin), screen_(terminalScreen()) {}

TerminalToolkit::TerminalToolkit(std::istream& in, std::ostream& err, int columns, int rows)
    : HeadlessToolkit(err), in_(in), screen_{columns, rows} {}

void TerminalToolkit::alert(const std::string& text) {
  interruptLines();
  HeadlessToolkit::alert(text);
}

void TerminalToolkit::guiAlert(const std::string& text, const std::string& title,
                               const std::string& font) {
  interruptLines();
  HeadlessToolkit::guiAlert(text, title, font);
}

void TerminalToolkit::msgBox(const std::string& text, const std::string& title) {
  interruptLines();
  HeadlessToolkit::msgBox(text, title);
}

Answer TerminalToolkit::confirmBox(const std::string& text, const std::string& title,
                                   Buttons buttons, int) {
  interruptLines();
  if (!title.empty()) err() << title << '\n';
  writeMessage(err(), text, '\r');
  const std::vector<Answer> choices = answersOf(buttons);
  std::string prompt;
  for (const Answer a : choices) {
    const char* caption = captionOf(a);
    prompt += (prompt.empty() ? "" : ", ") + std::string("[") + caption[0] + "]" + (caption + 1);
  }
  for (;;) {
    err() << prompt << "? " << std::flush;
    std::string answer;
    if (!std::getline(in_, answer)) {
      err() << '\n';
      return unattendedAnswer(buttons);
    }
    const auto first = answer.find_first_not_of(' ');
    if (first == std::string::npos) continue;
    const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(answer[first])));
    for (const Answer a : choices) {
      if (captionOf(a)[0] == letter) return a;
    }
  }
}

int TerminalToolkit::textAlert(const std::string& text, const std::vector<std::string>& options) {
  interruptLines();
  writeMessage(err(), text, ';');
  if (options.empty()) return 0;
  for (std::size_t i = 0; i < options.size(); ++i) {
    err() << "  " << i + 1 << "  " << options[i] << '\n';
  }
  for (;;) {
    if (auto n = promptNumber(in_, err(), "Choice", options.size())) return static_cast<int>(*n);
    if (!in_) return 1;
  }
}

bool TerminalToolkit::readModal(ElementList& elements, const std::string& title,
                                const std::function<void()>& onWindow) {
  interruptLines();
  if (onWindow) onWindow();
  return promptDialog(in_, err(), elements, title);
}

std::unique_ptr<Window> TerminalToolkit::readNonModal(ElementList& elements, const std::string&) {
  return std::make_unique<TerminalWindow>(*this, err(), elements, screen_.columns);
}

std::optional<std::string> TerminalToolkit::popFile(const FilePick& pick) {
  interruptLines();
  return promptFile(in_, err(), pick.start, pick.mask, pick.title, screen_);
}

void TerminalToolkit::addLine(ProgressLine* line) { lines_.push_back(line); }

void TerminalToolkit::removeLine(ProgressLine* line) {
  lines_.erase(std::remove(lines_.begin(), lines_.end(), line), lines_.end());
}

void TerminalToolkit::interruptLines() {
  for (auto* line : lines_) line->interrupt();
}

}  // namespace ui
