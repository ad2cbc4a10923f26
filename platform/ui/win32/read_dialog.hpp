// The waiting window of the Win32 backend (UI_READGUI's waiting form): a
// modal window of labels and entry fields, a help line, OK and Cancel.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/edit_model.hpp"
#include "platform/ui/toolkit.hpp"
#include "platform/ui/win32/win32_base.hpp"

namespace ui::win32 {

// Control ids, by which tests find the controls: the entry fields are
// kFirstField, kFirstField + 1, ... in list order, their "..." buttons
// kFirstPopup + the same offset; OK and Cancel are IDOK and IDCANCEL.
inline constexpr int kFirstField = 1000, kFirstPopup = 2000, kHelpLine = 3000;

// The read flow of every backend (ui::ReadFlow) on Windows' messages:
// Enter, Tab, Shift+Tab and the up and down arrows leave a field, a click
// into another field leaves it too (checked once the click is done), OK
// confirms, Esc, Cancel and the title bar close the window without
// validating. Each field's keys go through its ui::FieldState. A break or
// quit from a validation or pop-up closes the window and is rethrown by
// run().
class ReadDialog : private ReadFlow {
 public:
  ReadDialog(ElementList& elements, const std::string& title);
  ~ReadDialog();
  ReadDialog(const ReadDialog&) = delete;
  ReadDialog& operator=(const ReadDialog&) = delete;
  // Runs `onWindow`, then the dialog; true when it was confirmed.
  bool run(const std::function<void()>& onWindow);

  struct Field;

 private:
  static LRESULT CALLBACK fieldProcedure(HWND edit, UINT message, WPARAM w, LPARAM l, UINT_PTR id,
                                         DWORD_PTR self);
  bool onMessage(UINT message, WPARAM w, LPARAM l, LRESULT& result);
  bool onFieldKey(Field& field, UINT message, WPARAM key);
  void build(ElementList& elements);
  void addField(Element& e, HWND label, int index);
  void focusField(std::size_t i, bool entering) override;
  void showText(std::size_t i, const std::string& text) override;
  void closeWindow() override;
  void showHelp(const Field& field);

  Procedure procedure_;
  HWND window_ = nullptr;
  HWND help_ = nullptr;
  std::vector<std::unique_ptr<Field>> fields_;
  std::vector<HFONT> fonts_;
  TextGrid grid_;
  bool done_ = false;
  bool moving_ = false;  // the focus is being moved by the dialog itself
  int right_ = 0, bottom_ = 0;
};

}  // namespace ui::win32
