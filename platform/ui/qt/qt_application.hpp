// The one QApplication of the process and the window icon of every window.
#pragma once

class QApplication;
class QWidget;

namespace ui::qt {

// The QApplication, created on first use (an existing one is taken as is).
QApplication& ensureApplication();

// UI_ICONDEFAULT: makes our own icon the icon of every window from now on.
void useDefaultIcon();
// Whether the default icon is in force.
bool defaultIconInUse();

// The visible top-level window a new box should be centred over, or nullptr.
QWidget* activeTopLevel();

}  // namespace ui::qt
