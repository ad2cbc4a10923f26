// Fonts named the way the program names them: "11.Courier New Bold".
#pragma once

#include <optional>
#include <string>

namespace ui {

// A font name taken apart: "points.Family[ Bold][ Italic]", the style words
// in either order at the end, any letter case.
struct FontName {
  int points = 0;
  std::string family;       // may be empty: the backend's usual family
  bool bold = false;
  bool italic = false;
  bool fixedPitch = false;  // Courier New and its like: a backend without
                            // the family takes any monospaced font
};

// The parts of `name`; nullopt when it is empty or does not begin with a
// positive number of points and a ".".
std::optional<FontName> parseFontName(const std::string& name);

}  // namespace ui
