// The waiting window the dialog backends' tests drive, built as the program
// builds its own: two fields after their labels.
#pragma once

#include <string>

#include "platform/rt/value.hpp"
#include "platform/ui/toolkit.hpp"

namespace test_support {

// A name (picture "@!@K", help "Type a name.;;Not BAD.", a validation that
// counts its calls and refuses a name beginning with "BAD" after telling
// the user "NOT THAT ONE." in MSG's box) and a Y/N field ("Yes or no.").
// It refers to itself: neither copied nor moved.
struct TestDialog {
  TestDialog();
  TestDialog(const TestDialog&) = delete;
  TestDialog& operator=(const TestDialog&) = delete;

  // A label at text row `row`, column 5, in the program's label font.
  void addLabel(int row, const std::string& caption);
  // An entry field for `var` after the label just added, identified as
  // GET_<NAME>.
  void addEntry(rt::Value& var, const std::string& name, const std::string& picture, const std::string& help);

  rt::Value cName{std::string("OLD       ")};
  rt::Value lYes{true};
  int validations = 0;
  ui::ElementList elements;
};

}  // namespace test_support
