// Code pages through the platform's character converter: the characters of
// a single-byte code page as a table, and text of any code page in UTF-8.
// One implementation file per system (code_page_posix.cpp: iconv;
// code_page_win32.cpp: Windows' MultiByteToWideChar); names in code_page.cpp.
#pragma once

#include <array>
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace rt {

// The characters a single-byte code page gives its 256 bytes.
using CodePageChars = std::array<char32_t, 256>;

// The character that stands for a byte sequence a code page leaves undefined.
inline constexpr char32_t kReplacementChar = 0xFFFD;

// The converter's name for a code page given as a number ("866"), with a
// prefix ("cp866", "windows-1251", "ANSI 1251", "OEM 866", "ibm850") or by
// a name the converter knows ("koi8-r", "latin1"); letter case ignored.
std::string codePageName(std::string_view given);

// What the converter makes of a code page.
enum class CodePageKind { Unknown, SingleByte, MultiByte };

// Fills `chars` for a single-byte code page (U+FFFD where a byte is
// undefined) and says which kind it is; `chars` is left alone for the others.
CodePageKind codePageChars(const std::string& name, CodePageChars& chars);

// Converts text of a multi-byte code page to UTF-8; a sequence the code page
// does not define becomes U+FFFD.
class TextConverter {
 public:
  // Fails (ok() false) when the converter knows no such code page.
  explicit TextConverter(const std::string& name);
  ~TextConverter();
  TextConverter(const TextConverter&) = delete;
  TextConverter& operator=(const TextConverter&) = delete;
  bool ok() const;
  // Appends `in` in UTF-8 to `out`; returns how many U+FFFD it wrote.
  std::size_t append(std::string_view in, std::string& out);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace rt
