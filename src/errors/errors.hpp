// Error handling: the standard error handler and its line splitter.
#pragma once

#include <string>

#include "platform/rt/value.hpp"

namespace errors {

// ERRORSYS: installs the standard error handler as the error block.
void errorSys();

}  // namespace errors
