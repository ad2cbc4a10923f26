#include "platform/ui/font_spec.hpp"

#include <algorithm>
#include <array>
#include <charconv>
#include <sstream>
#include <vector>

#include "platform/rt/strings.hpp"

namespace ui {
namespace {

bool sameLetters(const std::string& a, const std::string& b) { return rt::upper(a) == rt::upper(b); }

bool isFixedPitchFamily(const std::string& family) {
  static const std::array<std::string, 4> fixed = {"Courier New", "Courier", "Lucida Console",
                                                   "Consolas"};
  return std::any_of(fixed.begin(), fixed.end(),
                     [&](const std::string& f) { return sameLetters(f, family); });
}

// Strips a trailing style word ("Bold", "Italic") from `words`, never the
// last word left (a family called "Bold" stays one); true if found.
bool takeStyle(std::vector<std::string>& words, const std::string& style) {
  if (words.size() > 1 && sameLetters(words.back(), style)) {
    words.pop_back();
    return true;
  }
  return false;
}

}  // namespace

std::optional<FontSpec> parseFontSpec(const std::string& name) {
  const auto dot = name.find('.');
  if (dot == std::string::npos || dot == 0) return std::nullopt;
  FontSpec spec;
  const auto [end, error] = std::from_chars(name.data(), name.data() + dot, spec.points);
  if (error != std::errc() || end != name.data() + dot || spec.points <= 0) return std::nullopt;
  std::vector<std::string> words;
  std::istringstream rest(name.substr(dot + 1));
  for (std::string word; rest >> word;) words.push_back(word);
  for (int pass = 0; pass < 2; ++pass) {
    spec.bold = takeStyle(words, "Bold") || spec.bold;
    spec.italic = takeStyle(words, "Italic") || spec.italic;
  }
  for (const std::string& word : words) spec.family += (spec.family.empty() ? "" : " ") + word;
  spec.fixedPitch = isFixedPitchFamily(spec.family);
  return spec;
}

}  // namespace ui
