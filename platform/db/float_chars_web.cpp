// Floating-point text through the C library, for a C++ library without
// floating-point <charconv> (Emscripten's): its strtod rounds correctly and
// its printf prints exact digits, so both agree with <charconv>.
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/db/float_chars.hpp"

namespace db {
namespace {

// The decimal `delta` (+1 or -1) units of the last digit away from the
// scientific text in `buf` ("-d.ddde+XX", `digits` digits), in the same form.
void nudge(char (&buf)[64], int digits, int delta) {
  const bool negative = buf[0] == '-';
  std::uint64_t mantissa = 0, power = 1;
  const char* p = buf + (negative ? 1 : 0);
  for (; *p != 'e'; ++p) {
    if (*p != '.') mantissa = mantissa * 10 + static_cast<unsigned>(*p - '0');
  }
  int exponent = std::atoi(p + 1);
  for (int i = 1; i < digits; ++i) power *= 10;
  mantissa = delta > 0 ? mantissa + 1 : mantissa - 1;
  if (mantissa == power * 10) {  // 9.99 up: 1.00, one power higher
    mantissa = power;
    ++exponent;
  } else if (mantissa < power) {  // 1.00 down: 9.99, one power lower
    mantissa = power * 10 - 1;
    --exponent;
  }
  char text[24];
  std::snprintf(text, sizeof text, "%" PRIu64, mantissa);
  std::snprintf(buf, sizeof buf, "%s%c%s%se%c%02d", negative ? "-" : "", text[0], digits > 1 ? "." : "",
                text + 1, exponent < 0 ? '-' : '+', exponent < 0 ? -exponent : exponent);
}

}  // namespace

double nearestDouble(std::string_view text) {
  // strtod reads up to a NUL; the text is a field's, not NUL-terminated.
  const std::string copy(text);
  return std::strtod(copy.c_str(), nullptr);
}

std::string_view shortestScientific(double value, char (&buf)[64]) {
  // Each length in turn: the correctly rounded digits, else (where the
  // doubles about `value` lie unevenly, as about a power of two) the
  // decimal one unit above or below them; the first that reads back as
  // `value` is the shortest.
  for (int digits = 1; digits < 17; ++digits) {
    std::snprintf(buf, sizeof buf, "%.*e", digits - 1, value);
    if (std::strtod(buf, nullptr) == value) return buf;
    for (const int delta : {1, -1}) {
      std::snprintf(buf, sizeof buf, "%.*e", digits - 1, value);
      nudge(buf, digits, delta);
      if (std::strtod(buf, nullptr) == value) return buf;
    }
  }
  std::snprintf(buf, sizeof buf, "%.16e", value);
  return buf;
}

}  // namespace db
