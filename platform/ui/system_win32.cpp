#include "platform/ui/system.hpp"

#include <windows.h>

#include "platform/ui/edit_model.hpp"
#include "platform/ui/win32/win32_toolkit.hpp"

namespace ui {

// A picked name is shown as the program writes names: the system finds it
// in any case.
const bool kPicksUpperCased = true;

namespace sys {

// A program started on Windows has a desktop; whether it takes windows,
// makeWin32Toolkit() finds out.
bool hasDisplay() { return true; }

const char* windowedBackend() { return "win32"; }

std::unique_ptr<Toolkit> makeBuiltInWindowed() { return makeWin32Toolkit(); }

// A console, not a file or pipe (nor NUL, which _isatty also calls a device).
bool stderrIsTerminal() {
  DWORD mode = 0;
  return ::GetConsoleMode(::GetStdHandle(STD_ERROR_HANDLE), &mode) != 0;
}

void terminalSize(int& columns, int& rows) {
  CONSOLE_SCREEN_BUFFER_INFO info{};
  if (!::GetConsoleScreenBufferInfo(::GetStdHandle(STD_ERROR_HANDLE), &info)) return;
  const int width = info.srWindow.Right - info.srWindow.Left + 1;
  const int height = info.srWindow.Bottom - info.srWindow.Top + 1;
  if (width > 0) columns = width;
  if (height > 0) rows = height;
}

}  // namespace sys
}  // namespace ui
