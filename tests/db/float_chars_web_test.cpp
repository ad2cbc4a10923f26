// The web build's floating-point text (float_chars_web.cpp, the C library's)
// against <charconv>, which the other builds use: the same doubles from the
// same text and the same shortest digits, so that a table's numbers come out
// alike in the browser.
#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>

#include "platform/db/float_chars.hpp"

namespace {

std::string charconvShortest(double v) {
  char buf[64];
  const auto res = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::scientific);
  return {buf, static_cast<std::size_t>(res.ptr - buf)};
}

double charconvNearest(const std::string& text) {
  double v = 0;
  std::from_chars(text.data(), text.data() + text.size(), v);
  return v;
}

// Doubles where shortest digits are easy to get wrong: tenths that binary
// cannot hold, the ends of the range, subnormals, powers of two (whose
// rounding interval is lopsided), 17-digit values.
std::vector<double> hardDoubles() {
  std::vector<double> values = {0.1, 0.2, 0.3, 1.0 / 3, 2.0 / 3, 123.456, 1e23, 9007199254740993.0,
                                5e-324, 2.2250738585072014e-308, 1.7976931348623157e308, 0.1 + 0.2,
                                -42.5, 1e-7, 123456789012345678.0, 4.35, 2.675, 1.005};
  for (int e = -1074; e <= 1023; e += 7) values.push_back(std::ldexp(1.0, e));
  std::mt19937_64 random(27);
  for (int i = 0; i < 20000; ++i) {
    const std::uint64_t bits = random();
    double v;
    std::memcpy(&v, &bits, sizeof v);
    if (std::isfinite(v)) values.push_back(v);
  }
  return values;
}

TEST(WebFloatChars, AgreeWithCharconv) {
  int differing = 0;
  for (const double v : hardDoubles()) {
    char buf[64];
    const std::string web(db::shortestScientific(v, buf));
    const std::string expected = charconvShortest(v);
    if (web != expected && ++differing <= 10) ADD_FAILURE() << "shortest of " << expected << ": " << web;
    // Reading back the 17 significant digits of the value and the shortest.
    char full[64];
    std::snprintf(full, sizeof full, "%.16e", v);
    for (const std::string& text : {std::string(full), expected}) {
      const double got = db::nearestDouble(text);
      if (std::memcmp(&got, &v, sizeof v) != 0 && ++differing <= 10) ADD_FAILURE() << "nearest of " << text;
    }
  }
  EXPECT_EQ(differing, 0);
  // Stored decimals, as a numeric field gives them.
  for (const std::string text : {"0", "-0.000", "12345678901234567890.123", "0.30000000000000004441",
                                 "99999999999999999999", ""}) {
    EXPECT_EQ(db::nearestDouble(text), charconvNearest(text)) << text;
  }
}

}  // namespace
