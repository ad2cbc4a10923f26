// The waiting window of the Win32 backend (UI_READGUI's waiting form): a
// modal window of labels and entry fields, a help line, OK and Cancel.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/callback_guard.hpp"
#include "platform/ui/picture.hpp"
#include "platform/ui/toolkit.hpp"
#include "platform/ui/win32/win32_base.hpp"

namespace ui::win32 {

// Control ids, by which tests find the controls: the entry fields are
// kFirstField, kFirstField + 1, ... in list order, their "..." buttons
// kFirstPopup + the same offset; OK and Cancel are IDOK and IDCANCEL.
inline constexpr int kFirstField = 1000, kFirstPopup = 2000, kHelpLine = 3000;

// Leaving a field (Enter, Tab, Shift+Tab, the up and down arrows, a click
// into another field) runs its validation; a failed one keeps the user in
// the field. Enter in the last field and OK confirm: every validation runs
// in field order, and the window closes only when all pass. Esc, Cancel and
// the title bar close it without validating. Picture "@!" makes typed
// letters upper case, "@K" clears the field on the first key typed after
// entering it, "Y" on a logical takes Y or N (T and F too). Every edit is
// written back to the variable at once. A break or quit from a validation
// or pop-up closes the window and is rethrown by run().
class ReadDialog {
 public:
  ReadDialog(ElementList& elements, const std::string& title);
  ~ReadDialog();
  ReadDialog(const ReadDialog&) = delete;
  ReadDialog& operator=(const ReadDialog&) = delete;
  // Runs `onWindow`, then the dialog; true when it was confirmed.
  bool run(const std::function<void()>& onWindow);

  struct Field;

 private:
  enum class Leave { Next, Previous, Enter };
  static LRESULT CALLBACK fieldProcedure(HWND edit, UINT message, WPARAM w, LPARAM l, UINT_PTR id,
                                         DWORD_PTR self);
  bool onMessage(UINT message, WPARAM w, LPARAM l, LRESULT& result);
  bool onFieldKey(Field& field, UINT message, WPARAM key);
  void build(ElementList& elements);
  void addField(Element& e, HWND label, int index);
  void leave(Field& field, Leave how);
  bool validate(Field& field);
  void confirm();
  void pop(Field& field);
  void enter(Field& field);
  void store(Field& field);
  void showHelp(const Field& field);

  Procedure procedure_;
  HWND window_ = nullptr;
  HWND help_ = nullptr;
  std::vector<std::unique_ptr<Field>> fields_;
  std::vector<HFONT> fonts_;
  Field* current_ = nullptr;
  CallbackGuard guard_;
  TextGrid grid_;
  bool done_ = false;
  bool accepted_ = false;
  bool moving_ = false;  // the focus is being moved by the dialog itself
  int right_ = 0, bottom_ = 0;
};

}  // namespace ui::win32
