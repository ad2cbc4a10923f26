// The waiting window of the Win32 toolkit on real Windows controls, held to
// the dialog's rules (dialog_contract.cpp) through the controls' messages,
// and its layout.
#include <gtest/gtest.h>

#include <algorithm>

#include "platform/rt/win32_api.hpp"
#include "platform/ui/toolkit.hpp"
#include "platform/ui/win32/read_dialog.hpp"
#include "platform/ui/win32/win32_toolkit.hpp"
#include "tests/support/test_dialog.hpp"
#include "tests/ui/dialog_contract.hpp"
#include "tests/ui/win32/modal_script.hpp"

namespace win32_testing {
namespace {

using Texts = std::vector<std::wstring>;
using dialog_contract::WindowedPerson;
using ui::win32::kFirstField;
using ui::win32::kFirstPopup;
using ui::win32::kHelpLine;

const std::wstring kTitle = L"Test Dialog";
HWND nameField(HWND w) { return control(w, kFirstField); }
HWND yesField(HWND w) { return control(w, kFirstField + 1); }
int focusedId(HWND) { return ::GetDlgCtrlID(::GetFocus()); }

class Win32Person : public WindowedPerson {
 public:
  Win32Person() : previous_(ui::setToolkit(ui::makeWin32Toolkit())) {}
  ~Win32Person() override { ui::setToolkit(std::move(previous_)); }

  void answer(std::size_t f, const std::string& text) override {
    inDialog([f, text](HWND w) {
      win32_testing::type(field(w, f), text);
      win32_testing::key(field(w, f), VK_RETURN);
    });
  }
  void pick(std::size_t f) override {
    inDialog([f](HWND w) {
      ::SendMessageW(control(w, kFirstPopup + static_cast<int>(f)), BM_CLICK, 0, 0);
    });
  }
  void answerAlert() override {
    script_.then("the validation's message", titled(L"Alert"), [](HWND w) { win32_testing::press(w, L"OK"); });
  }
  void cancel() override { press("Cancel"); }
  bool read(ui::ElementList& elements) override {
    return ui::toolkit().readModal(elements, "Test Dialog", {});
  }
  bool windowLeftOpen() const override {
    HWND w = ::FindWindowW(nullptr, kTitle.c_str());
    return w && ::IsWindowVisible(w);
  }

  void type(std::size_t f, const std::string& text) override {
    inDialog([f, text](HWND w) { win32_testing::type(field(w, f), text); });
  }
  void key(std::size_t f, Key k) override {
    static const UINT keys[] = {VK_RETURN, VK_TAB, VK_TAB, VK_UP, VK_DOWN, VK_ESCAPE, VK_END};
    inDialog([f, k](HWND w) { win32_testing::key(field(w, f), keys[static_cast<int>(k)], k == Key::ShiftTab); });
  }
  // What a click does to the focus; the dialog sees it as a click does.
  void click(std::size_t f) override {
    inDialog([f](HWND w) { ::SetFocus(field(w, f)); });
  }
  void press(const std::string& caption) override {
    inDialog([caption](HWND w) { win32_testing::press(w, rt::win32::wide(caption)); });
  }
  void closeWindow() override {
    inDialog([](HWND w) { ::PostMessageW(w, WM_CLOSE, 0, 0); });
  }
  void look(std::function<void()> f) override {
    inDialog([f](HWND) { f(); });
  }
  int focused() const override { return ::GetDlgCtrlID(::GetFocus()) - kFirstField; }
  std::string shown(std::size_t f) const override { return rt::win32::narrow(textOf(field(dialog_, f))); }
  std::string help() const override {
    std::string text = rt::win32::narrow(textOf(control(dialog_, kHelpLine)));
    std::erase(text, '\r');
    return text;
  }

 private:
  static HWND field(HWND w, std::size_t f) { return control(w, kFirstField + static_cast<int>(f)); }
  void inDialog(ModalScript::Act act) {
    script_.then("the dialog", titled(kTitle), [this, act](HWND w) {
      dialog_ = w;
      act(w);
    });
  }

  std::unique_ptr<ui::Toolkit> previous_;
  ModalScript script_;
  HWND dialog_ = nullptr;
};

DIALOG_CONTRACT_WINDOWED(Win32, Win32Person);

class Win32ReadDialog : public testing::Test, protected test_support::TestDialog {
 protected:
  void SetUp() override { previous_ = ui::setToolkit(ui::makeWin32Toolkit()); }
  void TearDown() override { ui::setToolkit(std::move(previous_)); }

  bool read() { return ui::toolkit().readModal(elements, "Test Dialog", {}); }

 private:
  std::unique_ptr<ui::Toolkit> previous_;
};

TEST_F(Win32ReadDialog, ShowsLabelsFieldsHelpLineAndButtons) {
  Texts statics, buttons;
  std::wstring name, yes;
  int focus = 0;
  ModalScript script;
  script.then("the dialog", titled(kTitle), [&](HWND w) {
    statics = staticTexts(w);
    buttons = buttonTexts(w);
    name = textOf(nameField(w));
    yes = textOf(yesField(w));
    focus = focusedId(w);
    press(w, L"Cancel");
  });
  EXPECT_FALSE(read());
  // The labels, then the help line of the first field, ";" a line break.
  EXPECT_EQ(statics, Texts({L"Name", L"Again", L"Type a name.\r\n\r\nNot BAD."}));
  EXPECT_EQ(buttons, Texts({L"OK", L"Cancel"}));
  EXPECT_EQ(name, L"OLD");
  EXPECT_EQ(yes, L"Y");
  EXPECT_EQ(focus, kFirstField);
}

}  // namespace
}  // namespace win32_testing
