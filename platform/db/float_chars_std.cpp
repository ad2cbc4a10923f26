// Floating-point text through the C++ library's <charconv>.
#include <charconv>

#include "platform/db/float_chars.hpp"

namespace db {

double nearestDouble(std::string_view text) {
  double v = 0;
  std::from_chars(text.data(), text.data() + text.size(), v);
  return v;
}

std::string_view shortestScientific(double value, char (&buf)[64]) {
  const auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific);
  return {buf, static_cast<std::size_t>(res.ptr - buf)};
}

}  // namespace db
