// What every window of the Win32 backend shares: texts in the wide API,
// fonts named as the program names them, the grid of text rows and columns,
// the program's icon, one window class whose procedure is a C++ function,
// and the message pump.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace ui::win32 {

// `text` (ANSI code page) for the wide API, each `lineBreak` a new line
// ("\r\n"); a lineBreak of '\r' also turns CR LF and lone LF into one.
std::wstring wideLines(const std::string& text, char lineBreak);

// A font of the screen's resolution, from a name such as "11.Courier New
// Bold"; the system's message font for a name that says nothing usable.
// The caller deletes it (DeleteObject).
HFONT makeFont(const std::string& name);
// The system's message font (Segoe UI on Windows), shared, not to be deleted.
HFONT messageFont();

// One cell is a character of 10-point Courier New wide and one and a half
// of its lines high, as on the Qt backend.
class TextGrid {
 public:
  TextGrid();
  int x(double column) const { return static_cast<int>(column * cellWidth_); }
  int y(double row) const { return static_cast<int>(row * cellHeight_); }
  int cellWidth() const { return cellWidth_; }
  int cellHeight() const { return cellHeight_; }

 private:
  int cellWidth_ = 8;
  int cellHeight_ = 24;
};

// The size in pixels `text` takes in `font`.
SIZE textSize(HFONT font, const std::wstring& text);

// The icon every window shows (UI_ICONDEFAULT's resource); nullptr: Windows' own.
void setWindowIcon(HICON icon);

// A top-level window whose messages go to `procedure` (DefWindowProc when
// it returns false). Disabled owner windows and the icon are handled here.
using Procedure = std::function<bool(HWND, UINT, WPARAM, LPARAM, LRESULT&)>;
HWND createTopLevel(const std::wstring& title, DWORD style, HWND owner, Procedure* procedure);
// A child control of `parent`, in `font`.
HWND createChild(HWND parent, const wchar_t* className, const std::wstring& text, DWORD style, int id,
                 RECT at, HFONT font);
// Resizes `window` so that its client area is `width` x `height`, centred
// on its owner or the screen.
void fitAndCenter(HWND window, int width, int height);

// Dispatches the messages waiting for this thread's windows; returns at once.
void pumpMessages();
// Shows `window` modally: its owner disabled, the message loop run (with
// the dialog keys: Tab, Enter, Esc) until `done` is true; then the owner is
// enabled again and the window destroyed. `focus` gets the keyboard first.
void runModal(HWND window, const bool& done, HWND focus);

// The window in front of this program, owner of the next modal window.
HWND activeOwner();

}  // namespace ui::win32
