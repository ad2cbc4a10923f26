// What the choice of backend and the terminal backend ask of the system
// the program runs on; one implementation file per system.
#pragma once

#include <memory>

#include "platform/ui/toolkit.hpp"

namespace ui::sys {

// True when windows can be shown: an X or Wayland display on Linux, the
// desktop on Windows.
bool hasDisplay();
// The backend that shows real windows here: "qt" on Linux, "win32" on Windows.
const char* windowedBackend();
// That backend when it is built into the program (win32); nullptr on Linux,
// where the qt backend is a module registered at start-up.
std::unique_ptr<Toolkit> makeBuiltInWindowed();
// True when standard error is a terminal (a console on Windows) a person reads.
bool stderrIsTerminal();
// The size of that terminal: sets `columns` and `rows` to what it reports
// and leaves each as it is when it cannot be had.
void terminalSize(int& columns, int& rows);

}  // namespace ui::sys
