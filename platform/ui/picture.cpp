#include "platform/ui/picture.hpp"

#include "platform/rt/strings.hpp"

namespace ui {

Picture Picture::parse(const std::string& picture) {
  Picture p;
  if (picture.empty() || picture.front() != '@') return p;
  for (const char c : picture.substr(0, picture.find(' '))) {
    if (c == '!') p.upperCase = true;
    if (c == 'K' || c == 'k') p.clearOnFirstKey = true;
  }
  return p;
}

std::string Picture::shape(std::string text) const {
  return upperCase ? rt::upper(text) : text;
}

}  // namespace ui
