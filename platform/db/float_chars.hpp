// Binary doubles to and from decimal text, exactly: the two conversions the
// engines make with floating point. The C++ library gives both where it has
// them (float_chars_std.cpp); Emscripten's lacks them, and the web build
// takes the C library's, which is exact too (float_chars_web.cpp). CMake
// chooses the file.
#pragma once

#include <string_view>

namespace db {

// The double nearest to the decimal `text` (sign, digits, optional point and
// fraction); 0 when `text` is no number.
double nearestDouble(std::string_view text);

// The finite `value` in scientific notation ("1.25e+02") with the fewest
// digits that read back as `value`, written into `buf`.
std::string_view shortestScientific(double value, char (&buf)[64]);

}  // namespace db
