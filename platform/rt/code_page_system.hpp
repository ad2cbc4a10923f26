// What the code page functions (code_page.hpp) ask of the operating
// system's converter, for every code page but UTF-8. Internal to
// platform/rt; implemented once per system (code_page_posix.cpp).
#pragma once

#include <memory>
#include <string>

#include "platform/rt/code_page.hpp"

namespace rt::sys {

// codePageChars() and textConverter() through the system's converter.
CodePageKind codePageChars(const std::string& name, CodePageChars& chars);
std::unique_ptr<TextConverter> textConverter(const std::string& name);

}  // namespace rt::sys
