// Answers the modal windows a test of the Win32 dialogs opens, from a timer
// of the test's own thread, as a person would, without ever hanging the
// test.
#pragma once

#include <windows.h>

#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace win32_testing {

// Steps run in order from a repeating thread timer (SetTimer), which the
// dialogs' own message loops dispatch: each waits until the window in
// front (the first visible, enabled top-level window of this thread) matches,
// then acts on it; an action may open further modal windows that later
// steps answer. A step that does not come in time (20 s), or a window left
// in front as long after the last step, fails the test, and from then on
// every window in front is cancelled so that the code under test returns; should the thread stop dispatching messages altogether, a
// watchdog thread ends the process with a failure message after 60 s.
// Steps left unanswered at destruction fail the test.
class ModalScript {
 public:
  using Match = std::function<bool(HWND)>;
  using Act = std::function<void(HWND)>;

  // `stepLimitMs`: how long a step may wait for its window.
  explicit ModalScript(ULONGLONG stepLimitMs = 20000);
  ~ModalScript();
  ModalScript(const ModalScript&) = delete;
  ModalScript& operator=(const ModalScript&) = delete;

  // Adds a step: `what` names it in failure messages.
  ModalScript& then(std::string what, Match match, Act act);
  bool done() const { return next_ == steps_.size(); }

 private:
  struct Step {
    std::string what;
    Match match;
    Act act;
  };
  static void CALLBACK onTimer(HWND, UINT, UINT_PTR, DWORD);
  void tick();
  void watch();

  std::vector<Step> steps_;
  std::size_t next_ = 0;
  bool gaveUp_ = false;
  ULONGLONG stepLimitMs_;
  UINT_PTR timer_ = 0;
  ULONGLONG waitingSince_ = 0;
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
