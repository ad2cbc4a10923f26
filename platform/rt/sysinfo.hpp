// What the runtime tells about itself and the machine: VERSION, OS, APPNAME,
// and TONE.
#pragma once

#include <string>

namespace rt {

// VERSION(): the runtime's name and version, "dbf2csv runtime 1.0".
// VERSION(1) major, VERSION(2) minor, VERSION(3) build number, as texts;
// any other part gives "".
std::string version();
std::string version(int part);

// OS: the operating system's name, release and machine from uname
// ("Linux 6.1.0-18-amd64 x86_64"); "Linux" when uname fails.
std::string os();

// APPNAME: the program file, with its full path when `fullPath` is true
// (from /proc/self/exe), else the file name alone; "" when unknown.
std::string appName(bool fullPath = false);

// TONE: a bell on a terminal (standard output is one); nothing otherwise.
// Frequency and duration cannot be chosen on a terminal and are ignored.
void tone(double frequency, double duration);

}  // namespace rt
