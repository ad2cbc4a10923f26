// The conversion itself: the table open under INPUT written as CSV.
#pragma once

#include <string>

namespace app {

// Writes the table open under INPUT into the output beside `cName`, with the
// field-name line when `lFieldLine`, then closes the table and reports. On
// a failure to create or write the output tells the user, leaves any
// previous output as it was and returns false.
bool exportTable(const std::string& cName, bool lFieldLine);

}  // namespace app
