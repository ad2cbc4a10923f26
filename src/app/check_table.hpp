// CHECKTABLE: the validation of the table-name field of the selection
// dialog. A name that passes is opened, exclusively, under the alias INPUT.
#pragma once

#include <string>

namespace app {

// True when `cTable` (trailing blanks allowed) names a table that is now
// open under INPUT; rcDriver then holds the driver that opened it. A repeat
// check of the name whose table is open accepts at once and opens nothing;
// any other name closes that table first and is checked in full. Rejects
// an empty name, wildcards, a missing file and a table no driver opens,
// each with its message box, and returns false (rcDriver "" after a failed
// open, untouched otherwise).
bool checkTable(const std::string& cTable, std::string& rcDriver);

// Forgets which name the check opened INPUT by, so the next check of any
// name checks it in full. Each selection dialog starts with it.
void forgetCheckedTable();

}  // namespace app
