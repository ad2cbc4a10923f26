// What the Windows implementation files share: names, which are bytes in
// the ANSI code page as the calling programs write them, reach the wide API
// through one converter. Included by *_win32.cpp files only.
#pragma once

#include <string>
#include <string_view>

namespace rt::win32 {

// The name in UTF-16, converted from the ANSI code page; "" for "".
std::wstring wide(std::string_view ansi);
// The text in the ANSI code page; characters it lacks become '?'.
std::string narrow(std::wstring_view text);
}  // namespace rt::win32
