#include "platform/rt/code_page.hpp"

#include <cctype>

#include "platform/rt/code_page_system.hpp"
#include "platform/rt/strings.hpp"
#include "platform/rt/utf8.hpp"

namespace rt {
namespace {

bool allDigits(std::string_view s) {
  if (s.empty()) return false;
  for (const char c : s) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

// UTF-8 through the program's own decoder, so that every system reads it
// alike.
class Utf8Converter final : public TextConverter {
 public:
  std::size_t append(std::string_view in, std::string& out) override { return appendValidUtf8(in, out); }
};

}  // namespace

std::string codePageName(std::string_view given) {
  std::string n = lower(given);
  while (!n.empty() && std::isspace(static_cast<unsigned char>(n.back()))) n.pop_back();
  while (!n.empty() && std::isspace(static_cast<unsigned char>(n.front()))) n.erase(0, 1);
  for (const std::string_view prefix : {"ansi ", "oem ", "cp", "windows-", "ibm"}) {
    if (n.starts_with(prefix) && allDigits(n.substr(prefix.size()))) {
      n = n.substr(prefix.size());
      break;
    }
  }
  if (n == "65001" || n == "utf-8" || n == "utf8") return std::string(kUtf8CodePage);
  if (allDigits(n)) return "CP" + n;
  return n;
}

CodePageKind codePageChars(const std::string& name, CodePageChars& chars) {
  if (name == kUtf8CodePage) return CodePageKind::MultiByte;
  return sys::codePageChars(name, chars);
}

std::unique_ptr<TextConverter> textConverter(const std::string& name) {
  if (name == kUtf8CodePage) return std::make_unique<Utf8Converter>();
  return sys::textConverter(name);
}

}  // namespace rt
