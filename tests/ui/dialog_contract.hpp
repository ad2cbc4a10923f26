// What every dialog backend is held to: the tests of dialog_contract.cpp,
// run on each backend (ui_tests: terminal, qt_tests: Qt, win32_ui_tests:
// Win32) through a Person who acts in the backend's own events.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "tests/support/test_dialog.hpp"

namespace dialog_contract {

// The fields of test_support::TestDialog, in order.
inline constexpr std::size_t kName = 0, kYes = 1;

// What a person does, queued in order; read() opens the dialog and does it.
class Person {
 public:
  virtual ~Person() = default;
  // Puts `text` into the field, then presses Enter.
  virtual void answer(std::size_t field, const std::string& text) = 0;
  // The field's [...] button.
  virtual void pick(std::size_t field) = 0;
  // Answers the message a refused value brings.
  virtual void answerAlert() = 0;
  // Closes the dialog without confirming.
  virtual void cancel() = 0;
  // readModal's result.
  virtual bool read(ui::ElementList& elements) = 0;
  // After read(): whether a window of the dialog is still open.
  virtual bool windowLeftOpen() const { return false; }
};

// What a person at a window does besides.
class WindowedPerson : public Person {
 public:
  enum class Key { Enter, Tab, ShiftTab, Up, Down, Escape, End };
  // Types `text` into the field, as the keyboard would.
  virtual void type(std::size_t field, const std::string& text) = 0;
  virtual void key(std::size_t field, Key key) = 0;
  // A mouse click into the field.
  virtual void click(std::size_t field) = 0;
  // The button captioned `caption` ("OK", "Cancel").
  virtual void press(const std::string& caption) = 0;
  // The title bar's close button.
  virtual void closeWindow() = 0;
  // Runs `f` at this point, where the accessors below tell the dialog's state.
  virtual void look(std::function<void()> f) = 0;
  // The field with the focus (-1: none), what a field shows, the help line
  // (lines ended by "\n").
  virtual int focused() const = 0;
  virtual std::string shown(std::size_t field) const = 0;
  virtual std::string help() const = 0;
};

using MakePerson = std::unique_ptr<Person> (*)();
using MakeWindowedPerson = std::unique_ptr<WindowedPerson> (*)();

class DialogContract : public testing::TestWithParam<MakePerson>, protected test_support::TestDialog {
 protected:
  std::unique_ptr<Person> person() const { return GetParam()(); }
};

class WindowedContract : public testing::TestWithParam<MakeWindowedPerson>,
                         protected test_support::TestDialog {
 protected:
  std::unique_ptr<WindowedPerson> person() const { return GetParam()(); }
};

template <class P>
std::unique_ptr<Person> make() {
  return std::make_unique<P>();
}
template <class P>
std::unique_ptr<WindowedPerson> makeWindowed() {
  return std::make_unique<P>();
}

}  // namespace dialog_contract

// Both sets of the contract for the windowed backend `name`, whose person
// is the WindowedPerson `P`.
#define DIALOG_CONTRACT_WINDOWED(name, P)                                                          \
  using ::dialog_contract::DialogContract;                                                         \
  using ::dialog_contract::WindowedContract;                                                       \
  INSTANTIATE_TEST_SUITE_P(name, DialogContract, ::testing::Values(&::dialog_contract::make<P>)); \
  INSTANTIATE_TEST_SUITE_P(name, WindowedContract, ::testing::Values(&::dialog_contract::makeWindowed<P>))
