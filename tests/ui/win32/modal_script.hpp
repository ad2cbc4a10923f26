// Answers the modal windows a test of the Win32 dialogs opens, from a timer
// of the test's own thread, as a person would, without ever hanging the
// test.
#pragma once

#include <windows.h>

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "tests/ui/modal_script.hpp"

namespace win32_testing {

// The steps of ui_testing::ModalSteps on Windows: a repeating thread timer
// (SetTimer), which the dialogs' own message loops dispatch, looks at the
// window in front (the first visible, enabled top-level window of this
// thread) and runs a step's action there; giving up cancels the window in
// front. Should the thread stop dispatching messages altogether, a watchdog
// thread ends the process with a failure message after 60 s.
class ModalScript : public ui_testing::ModalSteps<HWND> {
 public:
  // `stepLimitMs`: how long a step may wait for its window.
  explicit ModalScript(ULONGLONG stepLimitMs = 20000);
  ~ModalScript();

 private:
  static void CALLBACK onTimer(HWND, UINT, UINT_PTR, DWORD);
  void tick();
  void watch();

  UINT_PTR timer_ = 0;
  std::mutex mutex_;
  std::condition_variable ended_;
  bool ending_ = false;
  ULONGLONG lastTick_ = 0;  // under mutex_
  std::thread watchdog_;
};

// Matches a window titled exactly `title`.
ModalScript::Match titled(const std::wstring& title);

// The control `id` of `window`; fails the test when there is none.
HWND control(HWND window, int id);
// What a window or control says (WM_GETTEXT).
std::wstring textOf(HWND window);
// The texts of the visible static controls of `window`, in their order.
std::vector<std::wstring> staticTexts(HWND window);
// The captions of the visible buttons of `window`, in their order, "&" left out.
std::vector<std::wstring> buttonTexts(HWND window);
// Clicks (BM_CLICK) the button of `window` captioned `caption` ("&" ignored).
void press(HWND window, const std::wstring& caption);
// Types `text` into `control` as the keyboard would (WM_CHAR, posted).
void type(HWND control, const std::string& text);
// Presses the key `key` in `control` (WM_KEYDOWN and WM_KEYUP, posted, so
// that the dialog's message loop sees them), with Shift held when `shift`.
void key(HWND control, UINT key, bool shift = false);

}  // namespace win32_testing
