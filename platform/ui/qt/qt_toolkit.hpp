// The Qt 6 Widgets backend of the dialog toolkit: real windows on a desktop.
// The QApplication is created on first use, once per process.
#pragma once

#include <memory>

#include "platform/ui/toolkit.hpp"

namespace ui {

// Makes the "qt" toolkit, or nullptr when the display cannot be reached
// (Qt would end the process on its first window), so that another backend
// is chosen.
std::unique_ptr<Toolkit> makeQtToolkit();

}  // namespace ui
