// What the Windows implementation files share: names, which are bytes in
// the ANSI code page as the calling programs write them, reach the wide API
// through one converter. Included by *_win32.cpp files only.
#pragma once

#include <string>
#include <string_view>

namespace rt::win32 {

// The name in UTF-16, converted from the ANSI code page; "" for "".
std::wstring wide(std::string_view ansi);
// Text that is not a name (what a user typed), in UTF-16 from UTF-8.
std::wstring wideFromUtf8(std::string_view utf8);
// The text in the ANSI code page; characters it lacks become '?'.
std::string narrow(std::wstring_view text);
// Appends UTF-16 text in UTF-8.
void appendUtf8(const wchar_t* text, int length, std::string& out);
}  // namespace rt::win32
