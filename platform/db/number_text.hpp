// Decimal text of numbers read from a table: stored digits rounded to the
// declared decimals without going through binary floating point, and binary
// doubles in their shortest exact digits.
#pragma once

#include <string>
#include <string_view>

namespace db {

// Strips the blanks and NUL bytes a numeric field is padded with.
std::string_view trimNumericField(std::string_view stored, std::string& scratch);

// Writes `text` (sign, digits, optional point and fraction, optional
// exponent) into `out` with exactly `decimals` decimals: more stored decimals
// are rounded half up (away from zero), "-0" loses its sign, empty text is 0.
// Returns false, leaving `out` unspecified, when `text` is no number or its
// rounded digits would exceed 400.
bool formatStoredNumber(std::string_view text, int decimals, std::string& out);

// The shortest digits that read back as `value`, in fixed notation, without
// a trailing ".0" and without "-0"; "" for NaN and infinities.
std::string shortestFixed(double value);

// The number of digits after the point in fixed-notation `text`.
int decimalsOf(std::string_view text);

}  // namespace db
