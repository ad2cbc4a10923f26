// Numbers as text: STR and TRANSFORM.
#pragma once

#include <string>
#include <string_view>

#include "platform/rt/value.hpp"

namespace rt {

// STR without a width: the number with its own decimals, right-aligned in 10
// integer places (plus the point and the decimals); wider numbers take the
// room they need. A number read from a table (non-empty `text`) gives its
// stored text as it is.
std::string str(const Number& n);
// STR with a width and 0 decimals, or with both. A number read from a table
// whose decimals are the ones asked for gives its stored text. The text is
// right-aligned to `width`; when it does not fit, `width` asterisks.
// A width below 1 counts as 10.
std::string str(const Number& n, int width);
std::string str(const Number& n, int width, int decimals);
// The same on a Value; a value that is no number raises an argument error
// (a numeric substitute answer is formatted instead, otherwise "").
std::string str(const Value& v);
std::string str(const Value& v, int width);
std::string str(const Value& v, int width, int decimals);

// Appends what str(n) gives to `out` without a temporary string.
void appendStr(std::string& out, const Number& n);

// Appends `value` rounded half away from zero to `decimals` decimals, with a
// leading "-" when negative (never "-0"), no padding.
void appendFixed(std::string& out, double value, int decimals);

// TRANSFORM of a number with a numeric picture: "9" and "#" are digit places,
// "," a thousands separator shown only between digits, "." the decimal
// point, other characters stand as they are. A number that does not fit
// fills the picture with asterisks. An empty picture gives str(n).
std::string transform(const Number& n, std::string_view picture);
// TRANSFORM of any value: numbers as above; texts with the function "@!"
// upper-cased; other values in their display form (display.hpp).
std::string transform(const Value& v, std::string_view picture);

}  // namespace rt
