#include "src/errors/call_stack.hpp"

#include "platform/rt/call_frame.hpp"
#include "platform/rt/strings.hpp"

namespace errors {

std::vector<std::string> calledFrom(int firstLevel) {
  std::vector<std::string> entries;
  for (int level = firstLevel;; ++level) {
    std::string name = rt::procName(level);
    if (name.empty()) break;
    entries.push_back(rt::trim(name) + "(" + std::to_string(rt::procLine(level)) + ")");
  }
  return entries;
}

}  // namespace errors
