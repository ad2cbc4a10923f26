// The message boxes of the Win32 backend that Windows' MessageBoxW cannot
// show: MSG's text in a font of its own, and ALERT's buttons of any caption.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace ui::win32 {

// A modal box titled `title` with `text` in `font` and one button per
// caption, the first the default (Enter). Returns the 1-based index of the
// button pressed; 0 when the box was closed otherwise (Esc, the title bar).
int showMessageWindow(const std::wstring& title, const std::wstring& text, HFONT font,
                      const std::vector<std::wstring>& buttons);

}  // namespace ui::win32
