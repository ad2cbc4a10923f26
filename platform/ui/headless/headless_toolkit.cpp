#include "platform/ui/headless/headless_toolkit.hpp"

#include <iostream>

namespace ui {

void writeMessage(std::ostream& out, const std::string& text, char lineBreak) {
  std::string lines = text;
  for (char& c : lines) {
    if (c == lineBreak) c = '\n';
  }
  lines += '\n';
  out << lines << std::flush;
}

namespace {

// The non-waiting window of a backend that shows nothing: it owns the
// progress bars it handed out, so they live until the window is destroyed.
class SilentWindow : public Window {
 public:
  explicit SilentWindow(ElementList& elements) {
    for (auto& e : elements) {
      if (e.kind != Element::Kind::ProgressBar) continue;
      auto bar = std::make_unique<SilentProgressBar>();
      bar->configure(e.maximum, e.step, e.keptWord);
      if (e.barOut) *e.barOut = bar.get();
      bars_.push_back(std::move(bar));
    }
  }
  void show() override {}
  void destroy() override {}

 private:
  std::vector<std::unique_ptr<SilentProgressBar>> bars_;
};

}  // namespace

HeadlessToolkit::HeadlessToolkit() : err_(std::cerr) {}
HeadlessToolkit::HeadlessToolkit(std::ostream& err) : err_(err) {}

void HeadlessToolkit::alert(const std::string& text) { writeMessage(err_, text, ';'); }

void HeadlessToolkit::guiAlert(const std::string& text, const std::string&, const std::string&) {
  writeMessage(err_, text, ';');
}

Answer HeadlessToolkit::confirmBox(const std::string& text, const std::string&, Buttons buttons,
                                  int) {
  writeMessage(err_, text, '\r');
  return unattendedAnswer(buttons);
}

void HeadlessToolkit::msgBox(const std::string& text, const std::string&) {
  writeMessage(err_, text, ';');
}

int HeadlessToolkit::textAlert(const std::string& text, const std::vector<std::string>& options) {
  std::string all = text;
  for (const auto& o : options) all += ";  " + o;
  writeMessage(err_, all, ';');
  return options.empty() ? 0 : 1;
}

bool HeadlessToolkit::readModal(ElementList&, const std::string&, const std::function<void()>&) {
  return false;
}

std::unique_ptr<Window> HeadlessToolkit::readNonModal(ElementList& elements, const std::string&) {
  return std::make_unique<SilentWindow>(elements);
}

std::optional<std::string> HeadlessToolkit::popFile(const FilePick&) {
  return std::nullopt;
}

}  // namespace ui
