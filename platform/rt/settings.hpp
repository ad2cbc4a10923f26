// The runtime settings: values addressed by the runtime's own set numbers,
// read and written through one set() that returns the previous value.
#pragma once

#include "platform/rt/value.hpp"

namespace rt {

enum class Set : int {
  Exact = 1,
  Fixed = 2,
  Decimals = 3,
  DateFormat = 4,
  Epoch = 5,
  Path = 6,
  Default = 7,
  Exclusive = 8,
  Softseek = 9,
  Unique = 10,
  Deleted = 11,
  Cancel = 12,
  Debug = 13,
  Typeahead = 14,
  Color = 15,
  Cursor = 16,
  Console = 17,
  Alternate = 18,
  AltFile = 19,
  Device = 20,
  Extra = 21,
  ExtraFile = 22,
  Printer = 23,
  PrintFile = 24,
  Margin = 25,
  Bell = 26,
  Confirm = 27,
  Escape = 28,
  Insert = 29,
  Exit = 30,
  Intensity = 31,
  Scoreboard = 32,
  Delimiters = 33,
  DelimChars = 34,
  Wrap = 35,
  Message = 36,
  MCenter = 37,
  ScrollBreak = 38,
  Century = 40,
  DbLayer = 41,  // a value of the database layer that nothing reads back
};

// Current value of a setting.
Value set(Set which);
// Installs `value`, returns the previous one. Switches of the line output
// accept "ON"/"OFF" as well as logicals. Setting the alternate file (AltFile)
// opens it (`additive` false empties it) and may raise a runtime error when it
// cannot be opened.
Value set(Set which, const Value& value, bool additive = false);


}  // namespace rt
