#include "platform/ui/win32/message_window.hpp"

#include <algorithm>

#include "platform/ui/win32/win32_base.hpp"

namespace ui::win32 {

namespace {

constexpr int kFirstButton = 100;

}  // namespace

int showMessageWindow(const std::wstring& title, const std::wstring& text, HFONT font,
                      const std::vector<std::wstring>& buttons) {
  bool done = false;
  int chosen = 0;
  Procedure procedure = [&](HWND, UINT message, WPARAM w, LPARAM, LRESULT& result) {
    if (message == WM_CLOSE) {
      done = true;
      return true;
    }
    if (message != WM_COMMAND) return false;
    const int id = LOWORD(w);
    if (id == IDOK) chosen = 1;  // Enter: the default button
    else if (id >= kFirstButton && id < kFirstButton + static_cast<int>(buttons.size())) chosen = id - kFirstButton + 1;
    done = id == IDOK || id == IDCANCEL || chosen != 0;
    result = 0;
    return true;
  };
  HWND window = createTopLevel(title, WS_POPUP | WS_CAPTION | WS_SYSMENU, activeOwner(), &procedure);
  const TextGrid grid;
  const int margin = grid.cellWidth() * 2;
  const SIZE textArea = textSize(font, text);
  createChild(window, L"STATIC", text, SS_LEFT | SS_NOPREFIX, -1,
              {margin, margin, margin + textArea.cx, margin + textArea.cy}, font);

  const SIZE letter = textSize(messageFont(), L"X");
  const int buttonHeight = letter.cy * 7 / 4, gap = letter.cx;
  int buttonWidth = letter.cx * 10;
  for (const std::wstring& caption : buttons) buttonWidth = std::max<int>(buttonWidth, textSize(messageFont(), caption).cx + 2 * letter.cx);
  const int row = static_cast<int>(buttons.size()) * (buttonWidth + gap) - gap;
  const int width = std::max<int>(textArea.cx, row) + 2 * margin;
  const int top = margin + textArea.cy + margin;
  int left = width - margin - row;
  HWND first = nullptr;
  for (std::size_t i = 0; i < buttons.size(); ++i, left += buttonWidth + gap) {
    HWND button = createChild(window, L"BUTTON", buttons[i], WS_TABSTOP | (i == 0 ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON),
                              kFirstButton + static_cast<int>(i), {left, top, left + buttonWidth, top + buttonHeight},
                              messageFont());
    if (i == 0) first = button;
  }
  fitAndCenter(window, width, top + buttonHeight + margin);
  runModal(window, done, first);
  return chosen;
}

}  // namespace ui::win32
