// The non-waiting window of the Win32 backend (UI_READGUI's non-waiting
// form): labels and progress bars (PROGRESS_CLASS) on a window that stays
// responsive while the export runs.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/ui/toolkit.hpp"
#include "platform/ui/win32/win32_base.hpp"

namespace ui::win32 {

// A progress bar control. A redraw moves the bar and dispatches the
// window messages waiting, at most every 50 ms, so that the window repaints
// and Windows never calls it "Not Responding" during a long export. A bar
// with a kept count shows it in a label under the control, renewed as often.
class Win32ProgressBar : public ProgressBar {
 public:
  Win32ProgressBar(HWND control, HWND keptLabel) : control_(control), keptLabel_(keptLabel) {}

 protected:
  void redraw(std::uint64_t position) override;

 private:
  HWND control_;
  HWND keptLabel_;  // nullptr: no kept count
  ULONGLONG lastPump_ = 0;
};

class ProgressWindow : public Window {
 public:
  ProgressWindow(ElementList& elements, const std::string& title);
  ~ProgressWindow() override;
  void show() override;
  void destroy() override;

 private:
  Procedure procedure_;
  HWND window_ = nullptr;
  std::vector<HFONT> fonts_;
  std::vector<std::unique_ptr<Win32ProgressBar>> bars_;
};

}  // namespace ui::win32
