// Error handling: the standard error handler and its line splitter.
#pragma once

#include <string>

#include "platform/rt/value.hpp"

namespace errors {

// ERRORSYS: installs the standard error handler as the program's error block.
void errorSys();

// LINESPLIT: `text` word-wrapped at `width` columns, each line without its
// trailing blanks, the lines joined by ";" (none at the end); "" has no lines.
std::string lineSplit(const std::string& text, int width);

}  // namespace errors
