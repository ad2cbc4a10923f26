// The conversion itself: the table open under INPUT written as CSV.
#pragma once

#include <string>

#include "src/app/options.hpp"

namespace app {

// Writes the table open under INPUT into the output beside `cName` (or the
// one `options` name), with the field-name line when `lFieldLine`, in the
// line format the options ask for, then closes the table and reports. On a
// failure to create or write the output, or a code page that cannot be had,
// tells the user, leaves any previous output as it was and returns false.
bool exportTable(const std::string& cName, bool lFieldLine, const Options& options = {});

}  // namespace app
