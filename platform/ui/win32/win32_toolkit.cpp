#include "platform/ui/win32/win32_toolkit.hpp"

#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>

#include "platform/rt/strings.hpp"
#include "platform/rt/win32_api.hpp"
#include "platform/ui/message_box.hpp"
#include "platform/ui/win32/message_window.hpp"
#include "platform/ui/win32/progress_window.hpp"
#include "platform/ui/win32/read_dialog.hpp"
#include "platform/ui/win32/win32_base.hpp"

namespace ui {
namespace {

using win32::wideLines;

std::wstring wide(const std::string& text) { return rt::win32::wide(text); }

// The filters of the Open dialog: "description\0masks\0" pairs, ";" between
// masks as Windows wants them, and the 1-based index of the one `mask` names.
std::wstring filterText(const FilePick& pick, DWORD& selected) {
  std::wstring text;
  selected = 1;
  for (std::size_t i = 0; i < pick.filters.size(); ++i) {
    text += wide(pick.filters[i].first) + L'\0' + wide(pick.filters[i].second) + L'\0';
    if (rt::upper(pick.filters[i].second) == rt::upper(pick.mask)) selected = static_cast<DWORD>(i + 1);
  }
  return text + L'\0';
}

// The directory the picker opens in: `start` itself, or the directory of
// the file it names; blank for the current directory.
std::wstring startDirectory(const std::string& start) {
  const std::string trimmed = rt::allTrim(start);
  const DWORD attributes = ::GetFileAttributesW(wide(trimmed).c_str());
  if (trimmed.empty() || (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)))
    return wide(trimmed);
  const std::size_t slash = trimmed.find_last_of("\\/");
  return slash == std::string::npos ? std::wstring() : wide(trimmed.substr(0, slash + 1));
}

class Win32Toolkit : public WindowedToolkit {
 public:
  std::string name() const override { return "win32"; }

  void iconDefault(int resource) override {
    win32::setWindowIcon(::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(resource)));
  }
  void alert(const std::string& text) override {
    ::MessageBoxW(win32::activeOwner(), wideLines(text, ';').c_str(), L"Alert", MB_OK | MB_ICONWARNING);
  }
  void guiAlert(const std::string& text, const std::string& title, const std::string& font) override {
    HFONT chosen = win32::makeFont(font);
    win32::showMessageWindow(wide(title), wideLines(text, ';'), chosen, {L"OK"});
    ::DeleteObject(chosen);
  }
  // Windows' own box, whose numbering of buttons, icons and answers the
  // program speaks; a box with no icon bit keeps none.
  Answer confirmBox(const std::string& text, const std::string& title, Buttons buttons, int style) override {
    const UINT type = static_cast<UINT>(buttons) | static_cast<UINT>(iconOf(style)) | MB_SETFOREGROUND;
    const int answer = ::MessageBoxW(win32::activeOwner(), wideLines(text, '\r').c_str(), wide(title).c_str(), type);
    return answer == 0 ? Answer::Cancel : static_cast<Answer>(answer);
  }
  void msgBox(const std::string& text, const std::string& title) override {
    ::MessageBoxW(win32::activeOwner(), wideLines(text, '\r').c_str(), wide(title).c_str(),
                  MB_OK | MB_ICONINFORMATION);
  }
  int textAlert(const std::string& text, const std::vector<std::string>& options) override {
    std::vector<std::wstring> buttons;
    for (const std::string& option : options) buttons.push_back(wide(option));
    return win32::showMessageWindow(L"Alert", wideLines(text, ';'), win32::messageFont(), buttons);
  }

  bool readModal(ElementList& elements, const std::string& title, const std::function<void()>& onWindow) override {
    win32::ReadDialog dialog(elements, title);
    return dialog.run(onWindow);
  }
  std::unique_ptr<Window> readNonModal(ElementList& elements, const std::string& title) override {
    return std::make_unique<win32::ProgressWindow>(elements, title);
  }
  std::optional<std::string> popFile(const FilePick& pick) override {
    DWORD selected = 1;
    const std::wstring filters = filterText(pick, selected);
    const std::wstring directory = startDirectory(pick.start), title = wide(pick.title);
    std::wstring file(32768, L'\0');
    OPENFILENAMEW open{};
    open.lStructSize = sizeof open;
    open.hwndOwner = win32::activeOwner();
    open.lpstrFilter = filters.c_str();
    open.nFilterIndex = selected;
    open.lpstrFile = file.data();
    open.nMaxFile = static_cast<DWORD>(file.size());
    open.lpstrInitialDir = directory.empty() ? nullptr : directory.c_str();
    open.lpstrTitle = title.c_str();
    open.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_EXPLORER;
    if (!::GetOpenFileNameW(&open)) return std::nullopt;
    file.resize(file.find(L'\0'));
    return rt::win32::narrow(file);
  }
};

}  // namespace

std::unique_ptr<Toolkit> makeWin32Toolkit() {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
  if (!::InitCommonControlsEx(&controls)) return nullptr;
  // Where no window can be made (Wine without an X display, a desktop that
  // refuses them) a dialog would wait for ever for a person who cannot see
  // it: the program then runs as in a terminal or unattended.
  HWND probe = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                 ::GetModuleHandleW(nullptr), nullptr);
  if (!probe) return nullptr;
  ::DestroyWindow(probe);
  return std::make_unique<Win32Toolkit>();
}

}  // namespace ui
