// The Win32 backend of the dialog toolkit: native windows (user32,
// comctl32, comdlg32), the default on Windows.
#pragma once

#include <memory>

#include "platform/ui/toolkit.hpp"

namespace ui {

// The toolkit; nullptr when the common controls cannot be initialised.
std::unique_ptr<Toolkit> makeWin32Toolkit();

}  // namespace ui
