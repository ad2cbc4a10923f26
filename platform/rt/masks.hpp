// File masks as people type them ("*.dbf"), matched the same way on every
// system.
#pragma once

#include <string_view>

namespace rt {

// Whether `name` matches `mask`: "*" stands for any run of bytes, "?" for
// one byte; ASCII letters match in either case.
bool matchesMask(std::string_view mask, std::string_view name);

}  // namespace rt
