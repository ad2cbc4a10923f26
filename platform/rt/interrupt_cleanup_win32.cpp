// Interrupts on Windows: the console's control events. The handler runs on
// a thread of its own while the program goes on; the temporary file is
// opened with FILE_SHARE_DELETE, so removing it while it is open succeeds
// and it goes when the program's handle closes.
#include <windows.h>

#include "platform/rt/interrupt_cleanup_system.hpp"
#include "platform/rt/win32_api.hpp"

namespace rt::sys {

namespace {

// FALSE: the next handler, in the end the system's own, ends the program as
// the event would have without this one.
BOOL WINAPI onControl(DWORD event) {
  if (event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT || event == CTRL_CLOSE_EVENT) removeArmedFiles();
  return FALSE;
}

}  // namespace

void catchInterrupts() { ::SetConsoleCtrlHandler(onControl, TRUE); }

void releaseInterrupts() { ::SetConsoleCtrlHandler(onControl, FALSE); }

void removeNow(const char* path) { ::DeleteFileW(win32::wide(path).c_str()); }

}  // namespace rt::sys
