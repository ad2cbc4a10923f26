// Code pages: the characters of a single-byte code page as a table, and
// text of any code page in UTF-8. UTF-8 itself is read by the program's own
// decoder (utf8.hpp), the same on every system; the other code pages go
// through the platform's converter, one implementation file per system
// (code_page_posix.cpp: iconv; code_page_win32.cpp: Windows'
// MultiByteToWideChar). Names and UTF-8 in code_page.cpp.
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

// The name codePageName() gives UTF-8, by whichever name or number it came.
inline constexpr std::string_view kUtf8CodePage = "UTF-8";

// The converter's name for a code page given as a number ("866"), with a
// prefix ("cp866", "windows-1251", "ANSI 1251", "OEM 866", "ibm850") or by
// a name the converter knows ("koi8-r", "latin1"); letter case ignored.
// UTF-8 ("utf8", "65001", Windows' number for it) is kUtf8CodePage.
std::string codePageName(std::string_view given);

// What the converter makes of a code page.
enum class CodePageKind { Unknown, SingleByte, MultiByte };

// Fills `chars` for a single-byte code page (U+FFFD where a byte is
// undefined) and says which kind it is; `chars` is left alone for the
// others. A converter that composes characters (1255, 1258) gives each
// byte's own character.
CodePageKind codePageChars(const std::string& name, CodePageChars& chars);

// Converts text of a multi-byte code page to UTF-8; a sequence the code page
// does not define becomes U+FFFD.
class TextConverter {
 public:
  virtual ~TextConverter() = default;
  // Appends `in` in UTF-8 to `out`; returns how many U+FFFD it wrote.
  virtual std::size_t append(std::string_view in, std::string& out) = 0;
};

// The converter of the code page `name` (as codePageName() gives it);
// nullptr when there is none.
std::unique_ptr<TextConverter> textConverter(const std::string& name);

}  // namespace rt
