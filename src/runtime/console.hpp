// The program's standard streams and command line on the system it runs on.
#pragma once

#include <string>
#include <vector>

namespace runtime {

// On Windows, where dbf2csv is a windowed program so that a calling program
// sees no console flash: standard streams the starter did not give (none
// when started from cmd.exe or PowerShell) go to the starter's console, so
// that --help, --version and the headless messages show there. Streams
// redirected to files or pipes are kept. Both output streams are binary, so
// messages are the bytes the Linux build writes. On Linux it does nothing.
void attachConsole();

// The arguments after the program's name in UTF-8, for the options whose
// values are text rather than names (--where). On Windows they come from
// the wide command line, argv there being in the ANSI code page, which
// lacks most characters; on Linux they are argv as given.
std::vector<std::string> utf8Arguments(int argc, char** argv);

}  // namespace runtime
