// Whether Qt can open its windows on the display of this session.
#pragma once

namespace ui::qt {

// True when a QApplication can start here: the platform named by
// QT_QPA_PLATFORM, an X server that accepts a connection for DISPLAY, or a
// Wayland compositor with Qt's Wayland plugin installed. Qt ends the process
// instead of failing when it cannot connect, so this is asked first.
bool displayUsable();

}  // namespace ui::qt
