// The call levels of the program's routines as the error handler and the
// error log name them.
#pragma once

#include <string>
#include <vector>

namespace errors {

// "NAME(line)" for every call level from `firstLevel` outwards (0 is the
// innermost routine of the caller), up to the outermost routine.
std::vector<std::string> calledFrom(int firstLevel);

}  // namespace errors
