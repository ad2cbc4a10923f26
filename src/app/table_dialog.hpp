// GETTABLENAME: the dialog in which the user names the table to export and
// answers whether the delimited file gets a field-name line.
#pragma once

#include <string>

namespace app {

// Shows the selection dialog. rlFieldLine starts the Y/N field and receives
// the answer; rcDriver receives the driver under which the name check opened
// the table (left open under INPUT); cStartDir is where the file picker
// starts when MEMOS.SYS remembers no directory. Returns the confirmed table
// name, trimmed, after writing its directory to MEMOS.SYS; "" on cancel.
std::string getTableName(bool& rlFieldLine, std::string& rcDriver, const std::string& cStartDir);

}  // namespace app
