#include "platform/rt/code_page.hpp"

#include "platform/rt/strings.hpp"

namespace rt {
namespace {

bool allDigits(std::string_view s) {
  if (s.empty()) return false;
  for (const char c : s) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

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
  if (allDigits(n)) return "CP" + n;
  return n;
}

}  // namespace rt
