#include "platform/ui/win32/win32_base.hpp"

#include <optional>

#include "platform/rt/win32_api.hpp"
#include "platform/ui/font_name.hpp"

namespace ui::win32 {

namespace {

constexpr const wchar_t* kClassName = L"dbf2csvWindow";
HICON programIcon = nullptr;

int screenDpi() {
  HDC screen = ::GetDC(nullptr);
  const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
  ::ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : 96;
}

LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM w, LPARAM l) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(l);
    ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* procedure = reinterpret_cast<Procedure*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
  LRESULT result = 0;
  if (procedure && *procedure && (*procedure)(window, message, w, l, result)) return result;
  return ::DefWindowProcW(window, message, w, l);
}

void registerClass() {
  static bool registered = false;
  if (registered) return;
  WNDCLASSEXW c{};
  c.cbSize = sizeof c;
  c.lpfnWndProc = windowProcedure;
  c.hInstance = ::GetModuleHandleW(nullptr);
  c.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  c.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  c.lpszClassName = kClassName;
  registered = ::RegisterClassExW(&c) != 0;
}

}  // namespace

std::wstring wideLines(const std::string& text, char lineBreak) {
  std::string lines;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (lineBreak == '\r' && c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    lines += c == lineBreak || (lineBreak == '\r' && c == '\n') ? std::string("\r\n") : std::string(1, c);
  }
  return rt::win32::wide(lines);
}

HFONT makeFont(const std::string& name) {
  const std::optional<FontName> face = parseFontName(name);
  if (!face) {
    LOGFONTW font{};
    ::GetObjectW(messageFont(), sizeof font, &font);
    return ::CreateFontIndirectW(&font);
  }
  LOGFONTW font{};
  font.lfHeight = -::MulDiv(face->points, screenDpi(), 72);
  font.lfWeight = face->bold ? FW_BOLD : FW_NORMAL;
  font.lfItalic = face->italic;
  font.lfCharSet = DEFAULT_CHARSET;
  font.lfQuality = CLEARTYPE_QUALITY;
  font.lfPitchAndFamily = face->fixedPitch ? FIXED_PITCH | FF_MODERN : DEFAULT_PITCH | FF_SWISS;
  const std::wstring family = rt::win32::wide(face->family);
  family.copy(font.lfFaceName, LF_FACESIZE - 1);
  return ::CreateFontIndirectW(&font);
}

HFONT messageFont() {
  static HFONT font = [] {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
      return ::CreateFontIndirectW(&metrics.lfMessageFont);
    return static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
  }();
  return font;
}

TextGrid::TextGrid() {
  HFONT font = makeFont("10.Courier New");
  HDC screen = ::GetDC(nullptr);
  HGDIOBJ previous = ::SelectObject(screen, font);
  TEXTMETRICW metrics{};
  if (::GetTextMetricsW(screen, &metrics)) {
    cellWidth_ = metrics.tmAveCharWidth;
    cellHeight_ = metrics.tmHeight * 3 / 2;
  }
  ::SelectObject(screen, previous);
  ::ReleaseDC(nullptr, screen);
  ::DeleteObject(font);
}

SIZE textSize(HFONT font, const std::wstring& text) {
  HDC screen = ::GetDC(nullptr);
  HGDIOBJ previous = ::SelectObject(screen, font);
  RECT r{0, 0, 0, 0};
  ::DrawTextW(screen, text.c_str(), static_cast<int>(text.size()), &r, DT_CALCRECT | DT_NOPREFIX);
  ::SelectObject(screen, previous);
  ::ReleaseDC(nullptr, screen);
  return {r.right - r.left, r.bottom - r.top};
}

void setWindowIcon(HICON icon) { programIcon = icon; }

HWND createTopLevel(const std::wstring& title, DWORD style, HWND owner, Procedure* procedure) {
  registerClass();
  HWND window = ::CreateWindowExW(WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT, kClassName, title.c_str(), style,
                                  CW_USEDEFAULT, CW_USEDEFAULT, 100, 100, owner, nullptr,
                                  ::GetModuleHandleW(nullptr), procedure);
  if (window && programIcon) {
    ::SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(programIcon));
    ::SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(programIcon));
  }
  return window;
}

HWND createChild(HWND parent, const wchar_t* className, const std::wstring& text, DWORD style, int id,
                 RECT at, HFONT font) {
  HWND child = ::CreateWindowExW(0, className, text.c_str(), WS_CHILD | WS_VISIBLE | style, at.left, at.top,
                                 at.right - at.left, at.bottom - at.top, parent,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                 ::GetModuleHandleW(nullptr), nullptr);
  ::SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return child;
}

void fitAndCenter(HWND window, int width, int height) {
  RECT r{0, 0, width, height};
  ::AdjustWindowRectEx(&r, static_cast<DWORD>(::GetWindowLongPtrW(window, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(::GetWindowLongPtrW(window, GWL_EXSTYLE)));
  const int w = r.right - r.left, h = r.bottom - r.top;
  RECT area{};
  HWND owner = ::GetWindow(window, GW_OWNER);
  if (!owner || !::GetWindowRect(owner, &area)) ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  ::SetWindowPos(window, nullptr, area.left + (area.right - area.left - w) / 2,
                 area.top + (area.bottom - area.top - h) / 2, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
}

void pumpMessages() {
  MSG message;
  while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
}

void runModal(HWND window, const bool& done, HWND focus) {
  if (!window) return;  // a window that could not be made is not waited for
  HWND owner = ::GetWindow(window, GW_OWNER);
  if (owner) ::EnableWindow(owner, FALSE);
  ::ShowWindow(window, SW_SHOW);
  ::SetForegroundWindow(window);
  if (focus) ::SetFocus(focus);
  MSG message;
  while (!done && ::GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (::IsDialogMessageW(window, &message)) continue;
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
  if (owner) ::EnableWindow(owner, TRUE);
  ::DestroyWindow(window);
  if (owner) ::SetActiveWindow(owner);
}

HWND activeOwner() { return ::GetActiveWindow(); }

}  // namespace ui::win32
