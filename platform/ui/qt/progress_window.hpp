// The non-waiting window of the Qt toolkit (UI_READGUI's non-waiting form),
// as the export run builds it: labels and progress bars.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <QPointer>

#include "platform/ui/toolkit.hpp"

class QProgressBar;
class QWidget;

namespace ui::qt {

// A progress bar on a Qt window. redraw() comes at most once per update
// step; it repaints at most once every `kMinInterval` and reads the clock
// only every `kClockEvery` calls, so a long run spends next to nothing on
// drawing. The last position is always drawn.
class QtProgressBar : public ProgressBar {
 public:
  static constexpr std::chrono::milliseconds kMinInterval{50};
  static constexpr unsigned kClockEvery = 8;

  // Drives `widget`, whose range it sets to 0..maximum; with a `keptWord`,
  // the kept count follows the percentage on the bar.
  QtProgressBar(QProgressBar* widget, std::uint64_t maximum, std::uint64_t step, std::string keptWord = {});
  ~QtProgressBar() override;
  // Draws the latest position now, whatever the throttle says.
  void sync();
  // How many times the widget was repainted.
  unsigned long paints() const { return paints_; }

 protected:
  void redraw(std::uint64_t position) override;

 private:
  void paint(std::uint64_t position);

  QPointer<QProgressBar> widget_;
  std::uint64_t scale_ = 1;  // positions are divided by it to fit an int
  unsigned calls_ = 0;
  unsigned long paints_ = 0;
  std::uint64_t drawn_ = 0;
  std::uint64_t drawnKept_ = 0;
  std::chrono::steady_clock::time_point lastPaint_{};
};

// A built window: shown by show(), gone after destroy(). The bars it handed
// out live as long as this object; after destroy() they draw nothing.
class ProgressWindow : public Window {
 public:
  ProgressWindow(ElementList& elements, const std::string& title);
  ~ProgressWindow() override;
  void show() override;
  void destroy() override;
  // The window while it exists, nullptr after destroy(). Used by tests.
  QWidget* widget() const { return widget_; }

 private:
  QPointer<QWidget> widget_;
  std::vector<std::unique_ptr<QtProgressBar>> bars_;
};

// Brings every live progress bar to its latest position (before a modal box
// is shown over the run).
void syncProgressBars();

}  // namespace ui::qt
