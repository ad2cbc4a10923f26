// The waiting window of the Win32 toolkit on real Windows controls, driven
// through their messages: typing, Tab, Shift+Tab, Enter and Esc, the
// pictures, the help line, validations, OK and Cancel.
#include <gtest/gtest.h>

#include "platform/ui/toolkit.hpp"
#include "platform/ui/win32/read_dialog.hpp"
#include "platform/ui/win32/win32_toolkit.hpp"
#include "tests/support/test_dialog.hpp"
#include "tests/ui/win32/modal_script.hpp"

namespace win32_testing {
namespace {

using Texts = std::vector<std::wstring>;
using ui::win32::kFirstField;
using ui::win32::kHelpLine;

// The two fields of test_support::TestDialog: a name (picture "@!@K", with a
// validation that refuses "BAD" after telling the user) and a Y/N field.
class Win32ReadDialog : public testing::Test, protected test_support::TestDialog {
 protected:
  void SetUp() override { previous_ = ui::setToolkit(ui::makeWin32Toolkit()); }
  void TearDown() override { ui::setToolkit(std::move(previous_)); }

  bool read() { return ui::toolkit().readModal(elements, "Test Dialog", {}); }

 private:
  std::unique_ptr<ui::Toolkit> previous_;
};

const std::wstring kTitle = L"Test Dialog";
HWND nameField(HWND w) { return control(w, kFirstField); }
HWND yesField(HWND w) { return control(w, kFirstField + 1); }
std::wstring help(HWND w) { return textOf(control(w, kHelpLine)); }
int focusedId(HWND) { return ::GetDlgCtrlID(::GetFocus()); }
// Types `text` into the name field and presses Enter there.
ModalScript::Act typeAndEnter(const std::string& text) {
  return [text](HWND w) {
    type(nameField(w), text);
    key(nameField(w), VK_RETURN);
  };
}

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

TEST_F(Win32ReadDialog, TypedLettersAreUpperCasedAndTheFirstKeyClearsTheField) {
  std::wstring shown;
  ModalScript script;
  script.then("the dialog", titled(kTitle), [](HWND w) { type(nameField(w), "new.dbf"); })
      .then("the dialog typed into", titled(kTitle), [&](HWND w) {
        shown = textOf(nameField(w));
        press(w, L"OK");
      });
  EXPECT_TRUE(read());
  EXPECT_EQ(shown, L"NEW.DBF");
  EXPECT_EQ(cName.text(), "NEW.DBF   ");
  EXPECT_EQ(validations, 1);
}

TEST_F(Win32ReadDialog, TheYesNoFieldTakesOnlyYesAndNo) {
  Texts shown;
  const auto typeAndNote = [&shown](const std::string& typed) {
    return [&shown, typed](HWND w) {
      shown.push_back(textOf(yesField(w)));
      type(yesField(w), typed);
    };
  };
  ModalScript script;
  script.then("the dialog", titled(kTitle), typeAndNote("x"))
      .then("after x", titled(kTitle), typeAndNote("n"))
      .then("after n", titled(kTitle), typeAndNote("t"))
      .then("after t", titled(kTitle), typeAndNote("f"))
      .then("after f", titled(kTitle), [&](HWND w) {
        shown.push_back(textOf(yesField(w)));
        press(w, L"OK");
      });
  EXPECT_TRUE(read());
  EXPECT_EQ(shown, Texts({L"Y", L"Y", L"N", L"Y", L"N"}));
  EXPECT_FALSE(lYes.logical());
}

TEST_F(Win32ReadDialog, EnterMovesToTheNextFieldAndConfirmsInTheLast) {
  Texts helps;
  std::vector<int> focus;
  ModalScript script;
  script
      .then("the dialog", titled(kTitle), typeAndEnter("abc"))
      .then("the dialog in the Y/N field", titled(kTitle), [&](HWND w) {
        focus.push_back(focusedId(w));
        helps.push_back(help(w));
        type(yesField(w), "n");
        key(yesField(w), VK_RETURN);
      });
  EXPECT_TRUE(read());
  EXPECT_EQ(focus, std::vector<int>({kFirstField + 1}));
  EXPECT_EQ(helps, Texts({L"Yes or no."}));
  EXPECT_EQ(cName.text(), "ABC       ");
  EXPECT_FALSE(lYes.logical());
  // Leaving the name field, then confirming, which checks every field.
  EXPECT_EQ(validations, 2);
}

TEST_F(Win32ReadDialog, TabAndShiftTabGoRoundTheFieldsAndTheArrowsToo) {
  rt::Value cThird(std::string("x"));
  addLabel(6, "Third");
  addEntry(cThird, "cThird", "", "The third.");
  std::vector<int> focus;
  const auto noteThenPress = [&focus](UINT pressed, bool shift) {
    return [&focus, pressed, shift](HWND) {
      focus.push_back(::GetDlgCtrlID(::GetFocus()));
      key(::GetFocus(), pressed, shift);
    };
  };
  ModalScript script;
  script.then("the dialog", titled(kTitle), noteThenPress(VK_TAB, false))
      .then("after Tab", titled(kTitle), noteThenPress(VK_TAB, false))
      .then("after Tab again", titled(kTitle), noteThenPress(VK_TAB, false))
      .then("after a third Tab", titled(kTitle), noteThenPress(VK_TAB, true))
      .then("after Shift+Tab", titled(kTitle), noteThenPress(VK_UP, false))
      .then("after Up", titled(kTitle), noteThenPress(VK_DOWN, false))
      .then("after Down", titled(kTitle), [&](HWND w) {
        focus.push_back(::GetDlgCtrlID(::GetFocus()));
        press(w, L"Cancel");
      });
  EXPECT_FALSE(read());
  const int name = kFirstField, yes = kFirstField + 1, third = kFirstField + 2;
  EXPECT_EQ(focus, std::vector<int>({name, yes, third, name, third, yes, third}));
  // The name field, the only one with a validation, was left by Tab and by
  // Shift+Tab.
  EXPECT_EQ(validations, 2);
}

TEST_F(Win32ReadDialog, EscCancelAndTheTitleBarCloseWithoutValidating) {
  const std::vector<std::pair<std::string, std::function<void(HWND)>>> ways = {
      {"Esc", [](HWND w) { key(nameField(w), VK_ESCAPE); }},
      {"Cancel", [](HWND w) { press(w, L"Cancel"); }},
      {"the title bar", [](HWND w) { ::PostMessageW(w, WM_CLOSE, 0, 0); }},
  };
  for (const auto& [what, way] : ways) {
    SCOPED_TRACE(what);
    ModalScript script;
    script.then("the dialog", titled(kTitle), [&way = way](HWND w) {
      type(nameField(w), "bad");
      way(w);
    });
    EXPECT_FALSE(read());
    EXPECT_EQ(cName.text(), "BAD       ");  // every edit is written back at once
  }
  EXPECT_EQ(validations, 0);
}

TEST_F(Win32ReadDialog, ARefusedValueIsToldAndKeepsTheUserInTheField) {
  Texts alert;
  std::vector<int> focus;
  const auto answerAlert = [&alert](HWND w) {
    alert = staticTexts(w);
    alert.push_back(textOf(w));
    press(w, L"OK");
  };
  ModalScript script;
  script
      .then("the dialog", titled(kTitle), typeAndEnter("bad"))
      .then("the validation's message", titled(L"Alert"), answerAlert)
      .then("the dialog again", titled(kTitle),
            [&](HWND w) {
              focus.push_back(focusedId(w));
              press(w, L"OK");  // confirming checks it again
            })
      .then("the message again", titled(L"Alert"), answerAlert)
      .then("the dialog once more", titled(kTitle), [&](HWND w) {
        focus.push_back(focusedId(w));
        press(w, L"Cancel");
      });
  EXPECT_FALSE(read());
  EXPECT_EQ(alert, Texts({L"NOT THAT ONE.", L"Alert"}));
  EXPECT_EQ(focus, std::vector<int>({kFirstField, kFirstField}));
  EXPECT_EQ(validations, 2);
}

TEST_F(Win32ReadDialog, ThePopupButtonFillsTheField) {
  std::string handed;
  elements[1].popup = [&handed](const rt::Value& content) {
    handed = content.text();
    return rt::Value(std::string("c:\\data\\orders.dbf"));
  };
  std::wstring shown;
  Texts buttons;
  ModalScript script;
  script.then("the dialog", titled(kTitle), [&](HWND w) {
    buttons = buttonTexts(w);
    press(w, L"...");
    shown = textOf(nameField(w));
    press(w, L"OK");
  });
  EXPECT_TRUE(read());
  EXPECT_EQ(buttons, Texts({L"...", L"OK", L"Cancel"}));
  EXPECT_EQ(handed, "OLD");
  EXPECT_EQ(shown, L"C:\\DATA\\ORDERS.DBF");  // the field's picture shapes a pick too
  EXPECT_EQ(cName.text(), "C:\\DATA\\ORDERS.DBF");
}

}  // namespace
}  // namespace win32_testing
