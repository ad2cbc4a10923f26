// The export run: the program's main routine.
#pragma once

#include <string>
#include <vector>

namespace app {

// MAIN: converts one table into a delimited text file beside it. `args` are
// the command-line arguments after the program name. Sets the exit code
// (rt::errorLevel) on its failures.
void appMain(const std::vector<std::string>& args);

}  // namespace app
