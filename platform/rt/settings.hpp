// The runtime settings: values addressed by the runtime's own set numbers,
// read and written through one set() that returns the previous value.
#pragma once

#include "platform/rt/value.hpp"

namespace rt {

// Only the settings the program sets or reads are kept; each keeps its
// runtime number.
enum class Set : int {
  Exact = 1,
  Decimals = 3,
  DateFormat = 4,
  Epoch = 5,
  Exclusive = 8,
  Deleted = 11,
  Cancel = 12,
  Console = 17,
  Alternate = 18,
  AltFile = 19,
  Extra = 21,
  ExtraFile = 22,
  Printer = 23,
  PrintFile = 24,
  Scoreboard = 32,
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
