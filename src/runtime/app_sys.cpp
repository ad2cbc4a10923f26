// APPSYS: the runtime settings the program runs under.
#include "platform/rt/call_frame.hpp"
#include "platform/rt/settings.hpp"
#include "src/runtime/startup.hpp"

namespace runtime {

void appSys() {
  RT_PROC("APPSYS");
  using rt::Set;
  rt::set(Set::Exclusive, false);  // an open that says nothing opens shared
  rt::set(Set::Cancel, false);     // the cancel key does not end the program
  rt::set(Set::Decimals, 2);
  rt::set(Set::Scoreboard, false);
  rt::set(Set::Century, true);     // four-digit years
  rt::set(Set::Epoch, 1960);       // two-digit years 60..99 are 1960..1999
  rt::set(Set::Deleted, true);     // records marked deleted are passed over
}

}  // namespace runtime
