// What RemovedOnInterrupt (interrupt_cleanup.hpp) asks of the operating
// system. Internal to platform/rt; implemented once per system
// (interrupt_cleanup_posix.cpp, interrupt_cleanup_win32.cpp).
#pragma once

namespace rt {

// Removes every armed file; called by the handlers, so it calls only
// sys::removeNow.
void removeArmedFiles();

namespace sys {

// Puts the interrupt handlers in place, and back as they were.
void catchInterrupts();
void releaseInterrupts();
// Removes the file `path` from inside an interrupt's handler.
void removeNow(const char* path);

}  // namespace sys
}  // namespace rt
