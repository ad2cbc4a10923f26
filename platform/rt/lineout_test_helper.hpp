// What tests do to the line output. Not for the program.
#pragma once

#include <functional>
#include <string_view>

#include "platform/rt/lineout.hpp"

namespace rt {

// Console output goes to `writer` instead of standard output; an empty
// function restores standard output.
void setConsoleWriter(std::function<void(std::string_view)> writer);

}  // namespace rt
