#include "platform/ui/win32/progress_window.hpp"

#include <commctrl.h>

#include <algorithm>

#include "platform/rt/win32_api.hpp"

namespace ui::win32 {

namespace {

constexpr ULONGLONG kPumpInterval = 50;  // ms
// The control counts in int: a larger maximum is scaled down to this.
constexpr std::uint64_t kRange = 1u << 30;

int scaled(std::uint64_t value, std::uint64_t maximum) {
  if (maximum <= kRange) return static_cast<int>(value);
  return static_cast<int>(value / (maximum / kRange + 1));
}

}  // namespace

void Win32ProgressBar::redraw(std::uint64_t position) {
  ::SendMessageW(control_, PBM_SETPOS, static_cast<WPARAM>(scaled(std::min(position, maximum()), maximum())), 0);
  const ULONGLONG now = ::GetTickCount64();
  if (now - lastPump_ < kPumpInterval && position < maximum()) return;
  lastPump_ = now;
  if (keptLabel_) ::SetWindowTextW(keptLabel_, rt::win32::wide(keptText()).c_str());
  pumpMessages();
}

// Closing it from the title bar would leave the export without its window:
// the window refuses, as the program closes it itself when the run ends.
ProgressWindow::ProgressWindow(ElementList& elements, const std::string& title) {
  procedure_ = [](HWND, UINT message, WPARAM, LPARAM, LRESULT& result) {
    result = 0;
    return message == WM_CLOSE;
  };
  window_ = createTopLevel(rt::win32::wide(title), WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
                           activeOwner(), &procedure_);
  const TextGrid grid;
  int right = 0, bottom = 0;
  for (Element& e : elements) {
    RECT at{grid.x(e.column), grid.y(e.row), 0, 0};
    if (e.kind == Element::Kind::Label) {
      HFONT font = makeFont(e.font);
      fonts_.push_back(font);
      const std::wstring caption = rt::win32::wide(e.caption);
      const SIZE size = textSize(font, caption);
      at.right = at.left + size.cx;
      at.bottom = at.top + size.cy;
      createChild(window_, L"STATIC", caption, SS_LEFT | SS_NOPREFIX, -1, at, font);
    } else if (e.kind == Element::Kind::ProgressBar) {
      at.right = at.left + grid.x(e.width);
      at.bottom = at.top + grid.y(e.height) * 2 / 3;
      HWND control = createChild(window_, PROGRESS_CLASSW, L"", 0, -1, at, messageFont());
      ::SendMessageW(control, PBM_SETRANGE32, 0, scaled(e.maximum, e.maximum));
      HWND keptLabel = nullptr;
      if (!e.keptWord.empty()) {
        // Room for the widest count a run of this table can show.
        const std::wstring widest = rt::win32::wide(std::to_string(e.maximum) + " " + e.keptWord);
        const SIZE size = textSize(messageFont(), widest);
        const RECT under{at.left, at.bottom + grid.cellHeight() / 4, at.left + size.cx, 0};
        at.bottom = under.top + size.cy;
        keptLabel = createChild(window_, L"STATIC", rt::win32::wide("0 " + e.keptWord), SS_LEFT | SS_NOPREFIX, -1,
                                RECT{under.left, under.top, under.right, at.bottom}, messageFont());
      }
      auto bar = std::make_unique<Win32ProgressBar>(control, keptLabel);
      bar->configure(e.maximum, e.step, e.keptWord);
      if (e.barOut) *e.barOut = bar.get();
      bars_.push_back(std::move(bar));
    }
    right = std::max<int>(right, at.right);
    bottom = std::max<int>(bottom, at.bottom);
  }
  fitAndCenter(window_, right + grid.cellWidth() * 5, bottom + grid.cellHeight());
}

ProgressWindow::~ProgressWindow() {
  destroy();
  for (HFONT font : fonts_) ::DeleteObject(font);
}

void ProgressWindow::show() {
  ::ShowWindow(window_, SW_SHOW);
  ::UpdateWindow(window_);
  pumpMessages();
}

void ProgressWindow::destroy() {
  if (!window_) return;
  ::DestroyWindow(window_);
  window_ = nullptr;
  pumpMessages();
}

}  // namespace ui::win32
