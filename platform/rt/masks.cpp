#include "platform/rt/masks.hpp"

#include <cstddef>

#include "platform/rt/strings.hpp"

namespace rt {

namespace {

bool same(char a, char b) { return lowerAscii(a) == lowerAscii(b); }

}  // namespace

bool matchesMask(std::string_view mask, std::string_view name) {
  // Greedy with one step back: after a "*" that failed further on, let it
  // take one more byte and try again.
  std::size_t m = 0, n = 0, star = std::string_view::npos, resume = 0;
  while (n < name.size()) {
    if (m < mask.size() && mask[m] == '*') {
      star = m++;
      resume = n;
    } else if (m < mask.size() && (mask[m] == '?' || same(mask[m], name[n]))) {
      ++m;
      ++n;
    } else if (star != std::string_view::npos) {
      m = star + 1;
      n = ++resume;
    } else {
      return false;
    }
  }
  while (m < mask.size() && mask[m] == '*') ++m;
  return m == mask.size();
}

}  // namespace rt
