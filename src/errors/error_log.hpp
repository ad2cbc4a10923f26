// The error log: a plain-text report of one runtime error in a file of the
// current directory, internal to the error module.
#pragma once

#include "platform/rt/error_block.hpp"

namespace errors {

// ERRORLOG: writes the report of `error` to "APPERROR.LOG", or to
// "APPERROR.001" ... "APPERROR.999" when a name cannot be opened, then tells
// the user where it went. The logged call stack starts at call level
// `level` + 1, counted from errorLog itself (0): from the handler, 2 makes it
// start at the routine in which the error was raised. Every output setting
// and the error block are as before when it returns. When no name can be
// opened it says "Unable to open error log file" and ends the program with
// exit code 1.
void errorLog(const rt::ErrorPtr& error, int level);

}  // namespace errors
