// The modal boxes of the Win32 toolkit: MSG's box, the alerts, MSGBOX and
// CONFIRMBOX (Windows' own MessageBoxW), answered from a timer as a person
// would.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include "platform/ui/toolkit.hpp"
#include "platform/ui/win32/win32_toolkit.hpp"
#include "tests/ui/win32/modal_script.hpp"

namespace win32_testing {
namespace {

using Texts = std::vector<std::wstring>;

struct SeenBox {
  std::wstring title;
  Texts texts;  // of the static controls with a text
  Texts buttons;
  LOGFONTW font{};
};

// A step that notes what the box shows, then presses `caption`.
ModalScript::Act noteAndPress(SeenBox& seen, const std::wstring& caption) {
  return [&seen, caption](HWND w) {
    seen.title = textOf(w);
    for (const std::wstring& text : staticTexts(w)) {
      if (!text.empty()) seen.texts.push_back(text);
    }
    seen.buttons = buttonTexts(w);
    for (HWND c = ::GetWindow(w, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT)) {
      if (textOf(c) == seen.texts.front()) {
        ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(c, WM_GETFONT, 0, 0)), sizeof seen.font, &seen.font);
      }
    }
    press(w, caption);
  };
}

ModalScript::Match anyWindow() {
  return [](HWND) { return true; };
}

class Win32Boxes : public testing::Test {
 protected:
  void SetUp() override { previous_ = ui::setToolkit(ui::makeWin32Toolkit()); }
  void TearDown() override { ui::setToolkit(std::move(previous_)); }

 private:
  std::unique_ptr<ui::Toolkit> previous_;
};

TEST_F(Win32Boxes, MsgShowsEachLineInElevenPointBoldCourierNew) {
  SeenBox seen;
  ModalScript script;
  script.then("the message box", titled(L"Alert"), noteAndPress(seen, L"OK"));
  ui::toolkit().guiAlert("Program Ended Normally;;File ORDERS.CSV Created with 1,234 records.", "Alert",
                         "11.Courier New Bold");
  EXPECT_EQ(seen.title, L"Alert");
  EXPECT_EQ(seen.texts, Texts({L"Program Ended Normally\r\n\r\nFile ORDERS.CSV Created with 1,234 records."}));
  EXPECT_EQ(seen.buttons, Texts({L"OK"}));
  EXPECT_EQ(std::wstring(seen.font.lfFaceName), L"Courier New");
  EXPECT_EQ(seen.font.lfWeight, FW_BOLD);
  HDC screen = ::GetDC(nullptr);
  EXPECT_EQ(seen.font.lfHeight, -::MulDiv(11, ::GetDeviceCaps(screen, LOGPIXELSY), 72));
  ::ReleaseDC(nullptr, screen);
}

TEST_F(Win32Boxes, EnterAndEscCloseMsgsBox) {
  for (const UINT pressed : {VK_RETURN, VK_ESCAPE}) {
    SCOPED_TRACE(pressed);
    ModalScript script;
    script.then("the message box", titled(L"Alert"), [pressed](HWND) { key(::GetFocus(), pressed); });
    ui::toolkit().guiAlert("NO WILDCARD CHARACTERS ALLOWED.", "Alert", "11.Courier New Bold");
    EXPECT_TRUE(script.done());
  }
}

TEST_F(Win32Boxes, AlertAndMsgBoxAreWindowsMessageBoxes) {
  SeenBox alert, box;
  ModalScript script;
  script.then("the alert", titled(L"Alert"), noteAndPress(alert, L"OK"))
      .then("the message box", titled(L"Notice"), noteAndPress(box, L"OK"));
  ui::toolkit().alert("First line;Second line");
  ui::toolkit().msgBox("Error log was written\rto the file APPERROR.LOG", "Notice");
  EXPECT_EQ(alert.texts, Texts({L"First line\r\nSecond line"}));
  EXPECT_EQ(alert.buttons, Texts({L"OK"}));
  EXPECT_EQ(box.texts, Texts({L"Error log was written\r\nto the file APPERROR.LOG"}));
  EXPECT_EQ(box.buttons, Texts({L"OK"}));
}

TEST_F(Win32Boxes, ConfirmBoxOffersEachButtonSetAndAnswersWithItsCode) {
  using B = ui::Buttons;
  using A = ui::Answer;
  const struct {
    B buttons;
    Texts shown;
    std::wstring press;
    A answer;
  } cases[] = {
      {B::Ok, {L"OK"}, L"OK", A::Ok},
      {B::OkCancel, {L"OK", L"Cancel"}, L"Cancel", A::Cancel},
      {B::AbortRetryIgnore, {L"Abort", L"Retry", L"Ignore"}, L"Abort", A::Abort},
      {B::AbortRetryIgnore, {L"Abort", L"Retry", L"Ignore"}, L"Ignore", A::Ignore},
      {B::YesNoCancel, {L"Yes", L"No", L"Cancel"}, L"Yes", A::Yes},
      {B::YesNo, {L"Yes", L"No"}, L"No", A::No},
      {B::RetryCancel, {L"Retry", L"Cancel"}, L"Retry", A::Retry},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.buttons));
    SeenBox seen;
    ModalScript script;
    script.then("the box", titled(L"Runtime Error Message"), noteAndPress(seen, c.press));
    const A answer = ui::toolkit().confirmBox("Error DBF/4101\rFile : ORDERS.DBF", "Runtime Error Message",
                                              c.buttons, ui::styleWord(ui::Icon::Error));
    EXPECT_EQ(answer, c.answer);
    EXPECT_EQ(seen.buttons, c.shown);
    EXPECT_EQ(seen.texts, Texts({L"Error DBF/4101\r\nFile : ORDERS.DBF"}));
  }
}

TEST_F(Win32Boxes, EscCancelsAConfirmBoxThatHasCancel) {
  ModalScript script;
  script.then("the box", titled(L"Question"), [](HWND) { key(::GetFocus(), VK_ESCAPE); });
  EXPECT_EQ(ui::toolkit().confirmBox("Exit?", "Question", ui::Buttons::OkCancel, 0), ui::Answer::Cancel);
}

TEST_F(Win32Boxes, TextAlertReturnsTheOptionChosenOrZero) {
  SeenBox seen;
  int closed = -1;
  ModalScript script;
  script.then("the alert", titled(L"Alert"), noteAndPress(seen, L"Retry"))
      .then("the alert again", anyWindow(), [](HWND w) { ::PostMessageW(w, WM_CLOSE, 0, 0); });
  const int chosen = ui::toolkit().textAlert("Disk full;Try again?", {"Quit", "Retry"});
  closed = ui::toolkit().textAlert("Disk full;Try again?", {"Quit", "Retry"});
  EXPECT_EQ(chosen, 2);
  EXPECT_EQ(closed, 0);
  EXPECT_EQ(seen.texts, Texts({L"Disk full\r\nTry again?"}));
  EXPECT_EQ(seen.buttons, Texts({L"Quit", L"Retry"}));
}

// A window that never comes fails the test instead of hanging it: the
// script then cancels what is in front, so the code under test returns.
void waitForAWindowThatNeverComes() {
  ModalScript script(200);
  script.then("a window that never comes", titled(L"Nowhere"), [](HWND w) { press(w, L"OK"); });
  ui::toolkit().guiAlert("Waiting for nobody", "Alert", "11.Courier New Bold");
}

TEST_F(Win32Boxes, AWindowThatNeverComesFailsTheTestAndTheBoxIsCancelled) {
  EXPECT_NONFATAL_FAILURE(waitForAWindowThatNeverComes(), "no window came for: a window that never comes");
}

}  // namespace
}  // namespace win32_testing
