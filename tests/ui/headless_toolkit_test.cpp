// The headless backend: messages on the error stream, nobody to answer.
#include "platform/ui/headless/headless_toolkit.hpp"

#include <sstream>

#include <gtest/gtest.h>

namespace {

using ui::Buttons::AbortRetryIgnore, ui::Buttons::Ok, ui::Buttons::OkCancel,
    ui::Buttons::RetryCancel, ui::Buttons::YesNo, ui::Buttons::YesNoCancel;

TEST(WriteMessage, EachSeparatorStartsALine) {
  struct Case {
    std::string text;
    char separator;
    std::string written;
  };
  const Case cases[] = {
      {"Program Ended Normally;;File A.CSV Created with 3 records.", ';',
       "Program Ended Normally\n\nFile A.CSV Created with 3 records.\n"},
      {"A.DBF NOT FOUND.", ';', "A.DBF NOT FOUND.\n"},
      {"", ';', "\n"},
      {"first\rsecond;third", '\r', "first\nsecond;third\n"},
  };
  for (const auto& c : cases) {
    std::ostringstream out;
    ui::writeMessage(out, c.text, c.separator);
    EXPECT_EQ(out.str(), c.written) << c.text;
  }
}

TEST(HeadlessToolkit, EveryBoxIsWrittenAndReturnsAtOnce) {
  std::ostringstream err;
  ui::HeadlessToolkit t(err);
  t.guiAlert("one;two", "Alert", "11.Courier New Bold");
  t.alert("three");
  t.msgBox("four;five", "Title");
  EXPECT_EQ(err.str(), "one\ntwo\nthree\nfour\nfive\n");
}

TEST(HeadlessToolkit, ConfirmBoxesAreAnsweredSoThatTheProgramStops) {
  struct Case {
    ui::Buttons buttons;
    ui::Answer answer;
  };
  const Case cases[] = {{Ok, ui::Answer::Ok},
                        {OkCancel, ui::Answer::Ok},
                        {AbortRetryIgnore, ui::Answer::Abort},
                        {YesNo, ui::Answer::Yes},
                        {RetryCancel, ui::Answer::Cancel},
                        {YesNoCancel, ui::Answer::Yes}};
  for (const auto& c : cases) {
    std::ostringstream err;
    ui::HeadlessToolkit t(err);
    EXPECT_EQ(t.confirmBox("Error\rline", "Runtime Error Message", c.buttons, 131088), c.answer)
        << static_cast<int>(c.buttons);
    EXPECT_EQ(err.str(), "Error\nline\n");
  }
}

TEST(HeadlessToolkit, ATextAlertListsItsOptionsAndTakesTheFirst) {
  std::ostringstream err;
  ui::HeadlessToolkit t(err);
  EXPECT_EQ(t.textAlert("Bad;thing", {"Cancel", "Exit with LOG file"}), 1);
  EXPECT_EQ(err.str(), "Bad\nthing\n  Cancel\n  Exit with LOG file\n");
}

TEST(HeadlessToolkit, DialogsAndPicksAreCancelledWithoutTouchingTheFields) {
  std::ostringstream err;
  ui::HeadlessToolkit t(err);
  rt::Value cTable("ORDERS.DBF");
  ui::ElementList elements(1);
  elements[0].kind = ui::Element::Kind::Entry;
  elements[0].link = &cTable;
  bool windowMade = false;
  EXPECT_FALSE(t.readModal(elements, "Create a Text Delimited File", [&] { windowMade = true; }));
  EXPECT_FALSE(windowMade);
  EXPECT_EQ(cTable.text(), "ORDERS.DBF");
  EXPECT_FALSE(t.popFile({"", ".", "*.DBF", "Select", {{"Database Tables", "*.DBF"}}}).has_value());
  EXPECT_EQ(t.mode(), ui::Mode::Unattended);
  EXPECT_FALSE(t.hasAppWindow());
  EXPECT_EQ(err.str(), "");
}

TEST(HeadlessToolkit, TheProgressWindowHandsOutAWorkingBarAndDrawsNothing) {
  std::ostringstream err;
  ui::HeadlessToolkit t(err);
  ui::ProgressBar* bar = nullptr;
  ui::ElementList elements(2);
  elements[0].caption = "Creating Delimited File A.CSV";
  elements[1].kind = ui::Element::Kind::ProgressBar;
  elements[1].maximum = 1234;
  elements[1].step = 100;
  elements[1].barOut = &bar;
  auto window = t.readNonModal(elements, "Create a Text Delimited File - Version 08.27.2011");
  ASSERT_NE(bar, nullptr);
  window->show();
  for (std::uint64_t rec = 1; rec <= 1234; ++rec) bar->update(rec);
  EXPECT_EQ(bar->maximum(), 1234u);
  EXPECT_EQ(bar->position(), 1234u);
  window->destroy();
  EXPECT_EQ(err.str(), "");
}

}  // namespace
