// Start-up internals, reachable by tests.
#pragma once

#include <string>

namespace runtime {

// LOADDATABASEDRIVERS: sets the date format, loads the seven engines, builds
// the four composite drivers and makes `defaultDriver` the default. Tells
// the user of every engine or driver that failed; false when any did.
bool loadDatabaseDrivers(const std::string& defaultDriver);

}  // namespace runtime
