#include "tests/ui/win32/modal_script.hpp"

#include <cstdio>

#include <gtest/gtest.h>

namespace win32_testing {
namespace {

constexpr ULONGLONG kHangLimitMs = 60000;
constexpr UINT kTickMs = 10;

ModalScript* running = nullptr;  // the thread timer's script
bool shiftHeld = false;          // by key(): released at the next tick

std::string narrow(const std::wstring& text) {
  std::string bytes(text.size() * 3 + 1, '\0');
  bytes.resize(static_cast<std::size_t>(::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()),
                                                              bytes.data(), static_cast<int>(bytes.size()), nullptr,
                                                              nullptr)));
  return bytes;
}

std::wstring withoutMnemonics(std::wstring text) {
  std::erase(text, L'&');
  return text;
}

std::wstring className(HWND window) {
  wchar_t name[64] = {};
  ::GetClassNameW(window, name, 64);
  return name;
}

std::vector<HWND> children(HWND window, const wchar_t* ofClass) {
  std::vector<HWND> found;
  for (HWND c = ::GetWindow(window, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT)) {
    if (::IsWindowVisible(c) && ::lstrcmpiW(className(c).c_str(), ofClass) == 0) found.push_back(c);
  }
  return found;
}

BOOL CALLBACK firstInFront(HWND window, LPARAM found) {
  if (!::IsWindowVisible(window) || !::IsWindowEnabled(window)) return TRUE;
  *reinterpret_cast<HWND*>(found) = window;
  return FALSE;
}

// The window a person would answer: the first visible, enabled top-level
// window of this thread in Z order (the modal window's owners are disabled).
HWND windowInFront() {
  HWND found = nullptr;
  ::EnumThreadWindows(::GetCurrentThreadId(), firstInFront, reinterpret_cast<LPARAM>(&found));
  return found;
}

void setShift(bool down) {
  BYTE state[256];
  ::GetKeyboardState(state);
  state[VK_SHIFT] = down ? 0x80 : 0;
  ::SetKeyboardState(state);
  shiftHeld = down;
}

}  // namespace

ModalScript::ModalScript(ULONGLONG stepLimitMs) : ModalSteps(std::chrono::milliseconds(stepLimitMs)) {
  running = this;
  timer_ = ::SetTimer(nullptr, 0, kTickMs, onTimer);
  lastTick_ = ::GetTickCount64();
  watchdog_ = std::thread([this] { watch(); });
}

ModalScript::~ModalScript() {
  ::KillTimer(nullptr, timer_);
  running = nullptr;
  {
    std::lock_guard lock(mutex_);
    ending_ = true;
  }
  ended_.notify_one();
  watchdog_.join();
  if (shiftHeld) setShift(false);
}

void CALLBACK ModalScript::onTimer(HWND, UINT, UINT_PTR, DWORD) {
  if (running) running->tick();
}

void ModalScript::tick() {
  {
    std::lock_guard lock(mutex_);
    lastTick_ = ::GetTickCount64();
  }
  if (shiftHeld) setShift(false);
  HWND front = windowInFront();
  const Act act = due(front, front ? narrow(textOf(front)) : std::string());
  if (gaveUp()) {
    if (front) ::PostMessageW(front, WM_COMMAND, IDCANCEL, 0);
    return;
  }
  // The action may open modal windows whose loops dispatch this timer
  // again: the next step is due from now on, and again once it returns.
  if (act) act(front);
  if (act) restart();
}

// Should the test's thread stop dispatching messages (a loop that never
// pumps, a deadlock), no timer can answer anything: end the process, saying
// why, rather than hang the run.
void ModalScript::watch() {
  std::unique_lock lock(mutex_);
  while (!ending_) {
    ended_.wait_for(lock, std::chrono::seconds(1));
    if (!ending_ && ::GetTickCount64() - lastTick_ > kHangLimitMs) {
      std::fprintf(stderr, "watchdog: the dialogs' thread has dispatched no message for %lld s; ending the test\n",
                   static_cast<long long>(kHangLimitMs / 1000));
      std::fflush(stderr);
      ::ExitProcess(3);
    }
  }
}

ModalScript::Match titled(const std::wstring& title) {
  return [title](HWND w) { return textOf(w) == title; };
}

HWND control(HWND window, int id) {
  HWND found = ::GetDlgItem(window, id);
  if (!found) ADD_FAILURE() << "no control " << id << " in the window";
  return found;
}

std::wstring textOf(HWND window) {
  std::wstring text(static_cast<std::size_t>(::SendMessageW(window, WM_GETTEXTLENGTH, 0, 0)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(
      ::SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()))));
  return text;
}

std::vector<std::wstring> staticTexts(HWND window) {
  std::vector<std::wstring> texts;
  for (HWND c : children(window, L"Static")) texts.push_back(textOf(c));
  return texts;
}

std::vector<std::wstring> buttonTexts(HWND window) {
  std::vector<std::wstring> texts;
  for (HWND c : children(window, L"Button")) texts.push_back(withoutMnemonics(textOf(c)));
  return texts;
}

void press(HWND window, const std::wstring& caption) {
  for (HWND c : children(window, L"Button")) {
    if (withoutMnemonics(textOf(c)) == caption) {
      ::SendMessageW(c, BM_CLICK, 0, 0);
      return;
    }
  }
  ADD_FAILURE() << "no button captioned as asked in the window";
}

void type(HWND control, const std::string& text) {
  for (const char c : text) ::PostMessageW(control, WM_CHAR, static_cast<unsigned char>(c), 1);
}

void key(HWND control, UINT key, bool shift) {
  if (shift) setShift(true);
  const UINT scan = ::MapVirtualKeyW(key, MAPVK_VK_TO_VSC);
  ::PostMessageW(control, WM_KEYDOWN, key, static_cast<LPARAM>(1 | (scan << 16)));
  ::PostMessageW(control, WM_KEYUP, key, static_cast<LPARAM>(1 | (scan << 16) | (3u << 30)));
}

}  // namespace win32_testing
