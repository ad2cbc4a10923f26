// The database engines as start-up leaves them, for tests that open tables
// without running start-up.
#pragma once

namespace test_support {

// Closes every work area, resets the engine registry, loads the seven
// engines, builds the four composite drivers and makes DBFNTX the default.
void loadAllDrivers();

}  // namespace test_support
