// Fonts named the way the program names them: "11.Courier New Bold".
#pragma once

#include <string>

#include <QFont>

namespace ui::qt {

// The font of a "points.Family[ Bold][ Italic]" name. Courier New and the
// other fixed-pitch families fall back to Liberation Mono, then to any
// monospaced font; an empty or malformed name gives the application font.
QFont fontFromName(const std::string& name);

}  // namespace ui::qt
