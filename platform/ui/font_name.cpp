#include "platform/ui/font_name.hpp"

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

std::optional<FontName> parseFontName(const std::string& name) {
  const auto dot = name.find('.');
  if (dot == std::string::npos || dot == 0) return std::nullopt;
  FontName face;
  const auto [end, error] = std::from_chars(name.data(), name.data() + dot, face.points);
  if (error != std::errc() || end != name.data() + dot || face.points <= 0) return std::nullopt;
  std::vector<std::string> words;
  std::istringstream rest(name.substr(dot + 1));
  for (std::string word; rest >> word;) words.push_back(word);
  for (int pass = 0; pass < 2; ++pass) {
    face.bold = takeStyle(words, "Bold") || face.bold;
    face.italic = takeStyle(words, "Italic") || face.italic;
  }
  for (const std::string& word : words) face.family += (face.family.empty() ? "" : " ") + word;
  face.fixedPitch = isFixedPitchFamily(face.family);
  return face;
}

}  // namespace ui
