#include "tests/support/fake_toolkit.hpp"

namespace testing_support {

namespace {

template <class T>
T next(std::deque<T>& queue, T fallback) {
  if (queue.empty()) return fallback;
  T v = queue.front();
  queue.pop_front();
  return v;
}

class FakeBar : public ui::ProgressBar {
 public:
  explicit FakeBar(FakeToolkit& kit) : kit_(kit) {}

 protected:
  void redraw(std::uint64_t position) override {
    kit_.redraws.push_back(position);
    kit_.keptRedraws.push_back(keptText());
  }

 private:
  FakeToolkit& kit_;
};

class FakeWindow : public ui::Window {
 public:
  FakeWindow(FakeToolkit& kit, std::vector<std::unique_ptr<FakeBar>> bars)
      : kit_(kit), bars_(std::move(bars)) {}
  void show() override { ++kit_.windowsShown; }
  void destroy() override { ++kit_.windowsDestroyed; }

 private:
  FakeToolkit& kit_;
  std::vector<std::unique_ptr<FakeBar>> bars_;
};

}  // namespace

void FakeToolkit::alert(const std::string& text) { shown.push_back({"alert", text, "", ui::Buttons::Ok, 0}); }

void FakeToolkit::guiAlert(const std::string& text, const std::string& title,
                           const std::string&) {
  shown.push_back({"guiAlert", text, title, ui::Buttons::Ok, 0});
}

ui::Answer FakeToolkit::confirmBox(const std::string& text, const std::string& title,
                                   ui::Buttons buttons, int style) {
  shown.push_back({"confirmBox", text, title, buttons, style});
  return next(confirmAnswers, ui::Answer::Ok);
}

void FakeToolkit::msgBox(const std::string& text, const std::string& title) {
  shown.push_back({"msgBox", text, title, ui::Buttons::Ok, 0});
}

int FakeToolkit::textAlert(const std::string& text, const std::vector<std::string>& options) {
  std::string joined;
  for (const auto& o : options) joined += (joined.empty() ? "" : "|") + o;
  shown.push_back({"textAlert", text, joined, ui::Buttons::Ok, 0});
  return next(textAlertAnswers, 1);
}

bool FakeToolkit::readModal(ui::ElementList&, const std::string& title,
                            const std::function<void()>& onWindow) {
  shown.push_back({"readModal", "", title, ui::Buttons::Ok, 0});
  if (onWindow) onWindow();
  return next(modalAnswers, false);
}

std::unique_ptr<ui::Window> FakeToolkit::readNonModal(ui::ElementList& elements,
                                                      const std::string& title) {
  shown.push_back({"readNonModal", "", title, ui::Buttons::Ok, 0});
  std::vector<std::unique_ptr<FakeBar>> bars;
  for (auto& e : elements) {
    if (e.kind != ui::Element::Kind::ProgressBar) continue;
    bars.push_back(std::make_unique<FakeBar>(*this));
    bars.back()->configure(e.maximum, e.step, e.keptWord);
    if (e.barOut) *e.barOut = bars.back().get();
  }
  return std::make_unique<FakeWindow>(*this, std::move(bars));
}

std::optional<std::string> FakeToolkit::popFile(const ui::FilePick& pick) {
  shown.push_back({"popFile", pick.start, pick.title, ui::Buttons::Ok, 0});
  return std::nullopt;
}

std::vector<std::string> FakeToolkit::texts(const std::string& kind) const {
  std::vector<std::string> out;
  for (const auto& s : shown)
    if (s.kind == kind) out.push_back(s.text);
  return out;
}

ScopedFakeToolkit::ScopedFakeToolkit() {
  auto fake = std::make_unique<FakeToolkit>();
  fake_ = fake.get();
  previous_ = ui::setToolkit(std::move(fake));
}

ScopedFakeToolkit::~ScopedFakeToolkit() { ui::setToolkit(std::move(previous_)); }

}  // namespace testing_support
