// The standard error handler, internal to the error module: reached through
// the error block that errorSys() installs.
#pragma once

#include "platform/rt/error_block.hpp"
#include "platform/rt/value.hpp"

namespace errors {

// STANDARDEH: settles the errors it can answer silently (numeric 0 or false);
// otherwise shows the error and acts on the user's choice: true to retry,
// false to carry on with the operation's default, a break with the error
// object as break value, or the error log and the program's end with exit
// code 1. An error raised while the handler itself runs is reported on the
// standard error stream and ends the program with exit code 1.
rt::Value standardEh(const rt::ErrorPtr& error);

}  // namespace errors
