#include "platform/ui/win32/read_dialog.hpp"

#include <commctrl.h>

#include <algorithm>

#include "platform/rt/strings.hpp"
#include "platform/rt/win32_api.hpp"

namespace ui::win32 {

namespace {

constexpr UINT kValidateLeft = WM_APP + 1;  // wParam: index of the field left by a click

std::string textOf(HWND control) {
  std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(control)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(::GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
  return rt::win32::narrow(text);
}

}  // namespace

struct ReadDialog::Field {
  FieldState& state;
  std::size_t index = 0;
  HWND edit = nullptr;
};

ReadDialog::ReadDialog(ElementList& elements, const std::string& title) : ReadFlow(elements) {
  procedure_ = [this](HWND, UINT message, WPARAM w, LPARAM l, LRESULT& result) {
    return onMessage(message, w, l, result);
  };
  window_ = createTopLevel(rt::win32::wide(title), WS_POPUP | WS_CAPTION | WS_SYSMENU, activeOwner(), &procedure_);
  build(elements);
}

ReadDialog::~ReadDialog() {
  if (window_) ::DestroyWindow(window_);
  for (HFONT font : fonts_) ::DeleteObject(font);
}

void ReadDialog::build(ElementList& elements) {
  std::vector<HWND> placed;  // by list position, for "after its label"
  for (Element& e : elements) {
    HWND control = nullptr;
    if (e.kind == Element::Kind::Label) {
      HFONT font = makeFont(e.font);
      fonts_.push_back(font);
      const std::wstring caption = rt::win32::wide(e.caption);
      const SIZE size = textSize(font, caption);
      const RECT at{grid_.x(e.column), grid_.y(e.row), grid_.x(e.column) + size.cx, grid_.y(e.row) + size.cy};
      control = createChild(window_, L"STATIC", caption, SS_LEFT | SS_NOPREFIX, -1, at, font);
      right_ = std::max<int>(right_, at.right);
      bottom_ = std::max<int>(bottom_, at.bottom);
    } else if (e.kind == Element::Kind::Entry && e.link) {
      const bool hasLabel = e.labelIndex >= 1 && e.labelIndex <= static_cast<int>(placed.size());
      addField(e, hasLabel && e.row == 0 ? placed[static_cast<std::size_t>(e.labelIndex - 1)] : nullptr,
               static_cast<int>(fields_.size()));
      control = fields_.back()->edit;
    }
    placed.push_back(control);
  }
  const int margin = grid_.cellWidth() * 2;
  const int width = right_ + margin;
  const SIZE letter = textSize(messageFont(), L"X");
  int top = bottom_ + grid_.cellHeight() / 2;
  help_ = createChild(window_, L"STATIC", L"", SS_LEFT | SS_NOPREFIX | SS_SUNKEN, kHelpLine,
                      {margin, top, width - margin, top + letter.cy * 3 + 4}, messageFont());
  top += letter.cy * 3 + 4 + letter.cy;
  const int buttonWidth = letter.cx * 11, buttonHeight = letter.cy * 7 / 4;
  // Not in the tab order: pressing them must not leave a field first.
  createChild(window_, L"BUTTON", L"OK", BS_PUSHBUTTON, IDOK,
              {width - margin - 2 * buttonWidth - letter.cx, top, width - margin - buttonWidth - letter.cx,
               top + buttonHeight},
              messageFont());
  createChild(window_, L"BUTTON", L"Cancel", BS_PUSHBUTTON, IDCANCEL,
              {width - margin - buttonWidth, top, width - margin, top + buttonHeight}, messageFont());
  fitAndCenter(window_, width, top + buttonHeight + margin / 2);
}

void ReadDialog::addField(Element& e, HWND label, int index) {
  const auto at_ = static_cast<std::size_t>(index);
  auto field = std::make_unique<Field>(Field{ReadFlow::field(at_), at_});
  const FieldState& state = field->state;
  const SIZE letter = textSize(messageFont(), L"X");
  const int width = letter.cx * (std::min(state.columns(), 60) + 2), height = letter.cy + 8;
  RECT at{grid_.x(e.column), grid_.y(e.row), 0, 0};
  if (label) {  // after its label on the same line, centred on it
    RECT r{};
    ::GetWindowRect(label, &r);
    ::MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&r), 2);
    at.left = r.right + letter.cx;
    at.top = r.top + (r.bottom - r.top - height) / 2;
  }
  at.right = at.left + width;
  at.bottom = at.top + height;
  const std::wstring text = rt::win32::wide(state.text());
  field->edit = ::CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", text.c_str(),
                                  WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, at.left, at.top,
                                  width, height, window_,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstField + index)),
                                  ::GetModuleHandleW(nullptr), nullptr);
  ::SendMessageW(field->edit, WM_SETFONT, reinterpret_cast<WPARAM>(messageFont()), FALSE);
  if (state.logical()) ::SendMessageW(field->edit, EM_LIMITTEXT, 1, 0);
  if (!state.editable()) ::SendMessageW(field->edit, EM_SETREADONLY, TRUE, 0);
  ::SetWindowSubclass(field->edit, fieldProcedure, 1, reinterpret_cast<DWORD_PTR>(this));
  if (e.popup) {
    const RECT button{at.right + 4, at.top, at.right + 4 + letter.cx * 4, at.bottom};
    createChild(window_, L"BUTTON", L"...", BS_PUSHBUTTON, kFirstPopup + index, button, messageFont());
    at.right = button.right;
  }
  right_ = std::max<int>(right_, at.right);
  bottom_ = std::max<int>(bottom_, at.bottom);
  fields_.push_back(std::move(field));
}

bool ReadDialog::run(const std::function<void()>& onWindow) {
  if (onWindow) onWindow();
  if (!fields_.empty()) {
    ::ShowWindow(window_, SW_SHOW);
    start();
  }
  HWND window = std::exchange(window_, nullptr);  // runModal destroys it
  runModal(window, done_, fields_.empty() ? nullptr : fields_.front()->edit);
  rethrowIfFailed();
  return accepted();
}

LRESULT CALLBACK ReadDialog::fieldProcedure(HWND edit, UINT message, WPARAM w, LPARAM l, UINT_PTR,
                                            DWORD_PTR self) {
  auto* dialog = reinterpret_cast<ReadDialog*>(self);
  if (message == WM_GETDLGCODE) return DLGC_WANTALLKEYS | DLGC_HASSETSEL;
  for (auto& field : dialog->fields_) {
    if (field->edit == edit && (message == WM_KEYDOWN || message == WM_CHAR) && dialog->onFieldKey(*field, message, w))
      return 0;
  }
  return ::DefSubclassProc(edit, message, w, l);
}

// True when the key was the dialog's to handle.
bool ReadDialog::onFieldKey(Field& field, UINT message, WPARAM key) {
  FieldState& state = field.state;
  if (message == WM_KEYDOWN) {
    const bool shift = ::GetKeyState(VK_SHIFT) < 0;
    switch (key) {
      case VK_TAB: leave(field.index, shift ? Leave::Previous : Leave::Next); return true;
      case VK_RETURN: leave(field.index, Leave::Enter); return true;
      case VK_UP: leave(field.index, Leave::Previous); return true;
      case VK_DOWN: leave(field.index, Leave::Next); return true;
      case VK_ESCAPE: cancel(); return true;
      case VK_LEFT: case VK_RIGHT: case VK_HOME: case VK_END: state.moveCursor(); return false;
      case VK_DELETE: {
        const FieldState::Edit edit = state.key("");
        if (edit.accepted && edit.clearFirst) ::SetWindowTextW(field.edit, L"");
        return !edit.accepted;
      }
      default: return false;
    }
  }
  if (key == '\t' || key == '\r' || key == 27) return true;  // handled as keys above
  // A character, Backspace (8), or Ctrl+X (24) and Ctrl+V (22), which the
  // control turns into a cut and a paste.
  const bool character = key >= 32;
  if (!character && key != 8 && key != 22 && key != 24) return false;
  const FieldState::Edit edit = state.key(character ? std::string(1, static_cast<char>(key)) : std::string());
  if (!edit.accepted) return true;
  if (state.logical()) {
    ::SetWindowTextW(field.edit, rt::win32::wide(edit.text).c_str());
    ::SendMessageW(field.edit, EM_SETSEL, 0, -1);
    return true;
  }
  if (edit.clearFirst) ::SetWindowTextW(field.edit, L"");
  if (character && edit.text.size() == 1 && edit.text[0] != static_cast<char>(key)) {
    ::DefSubclassProc(field.edit, WM_CHAR, static_cast<unsigned char>(edit.text[0]), 0);
    return true;
  }
  return false;
}

bool ReadDialog::onMessage(UINT message, WPARAM w, LPARAM, LRESULT& result) {
  result = 0;
  if (message == WM_CLOSE) {
    cancel();
    return true;
  }
  if (message == kValidateLeft) {
    if (w < fields_.size()) validate(w);
    return true;
  }
  if (message != WM_COMMAND) return false;
  const int id = LOWORD(w), code = HIWORD(w);
  if (id == IDOK && code == BN_CLICKED) confirm();
  else if (id == IDCANCEL && code == BN_CLICKED) cancel();
  else if (id >= kFirstPopup && id < kFirstPopup + static_cast<int>(fields_.size())) pop(static_cast<std::size_t>(id - kFirstPopup));
  else if (id >= kFirstField && id < kFirstField + static_cast<int>(fields_.size())) {
    Field& field = *fields_[static_cast<std::size_t>(id - kFirstField)];
    if (code == EN_CHANGE) field.state.store(textOf(field.edit));
    if (code == EN_SETFOCUS) {
      // A click into another field leaves the field that had the focus:
      // check it once the click is done, and take the user back when it fails.
      if (!moving_ && current() != field.index)
        ::PostMessageW(::GetParent(field.edit), kValidateLeft, static_cast<WPARAM>(clickedInto(field.index)), 0);
      showHelp(field);
    }
  }
  return true;
}

void ReadDialog::focusField(std::size_t i, bool entering) {
  Field& field = *fields_[i];
  moving_ = true;
  ::SetFocus(field.edit);
  // Entered anew, the whole content is selected, as the dialog manager does.
  if (entering) ::SendMessageW(field.edit, EM_SETSEL, 0, -1);
  moving_ = false;
  showHelp(field);
}

void ReadDialog::showText(std::size_t i, const std::string& text) {
  const HWND edit = fields_[i]->edit;
  ::SetWindowTextW(edit, rt::win32::wide(text).c_str());
  const auto end = static_cast<WPARAM>(::GetWindowTextLengthW(edit));
  ::SendMessageW(edit, EM_SETSEL, end, static_cast<LPARAM>(end));
}

void ReadDialog::closeWindow() { done_ = true; }

void ReadDialog::showHelp(const Field& field) {
  ::SetWindowTextW(help_, wideLines(field.state.element().help, ';').c_str());
}

}  // namespace ui::win32
