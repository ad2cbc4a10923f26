// The program's standard streams on the system it runs on.
#pragma once

namespace runtime {

// On Windows, where dbf2csv is a windowed program so that a calling program
// sees no console flash: standard streams the starter did not give (none
// when started from cmd.exe or PowerShell) go to the starter's console, so
// that --help, --version and the headless messages show there. Streams
// redirected to files or pipes are kept. Both output streams are binary, so
// messages are the bytes the Linux build writes. On Linux it does nothing.
void attachConsole();

}  // namespace runtime
