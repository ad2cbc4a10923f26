// The code pages of the web build as tables compiled in, made when it is
// built from the iconv of the machine that builds it (web/make_code_pages.py),
// so that the browser converts text as the Linux program does. Internal to
// platform/rt (code_page_web.cpp).
#pragma once

#include <cstddef>

#include "platform/rt/code_page.hpp"

namespace rt::tables {

// A single-byte code page: its name as codePageName() gives it, and the
// character of each byte as codePageChars() fills them.
struct SingleBytePage {
  const char* name;
  CodePageChars chars;
};

// What `singles` holds for a byte that begins a two-byte sequence.
inline constexpr char32_t kLeadByte = 0xFFFFFFFF;
inline constexpr char16_t kUndefinedPair = 0xFFFF;

// A code page of one- and two-byte sequences. `singles` gives each byte's
// character, U+FFFD when it is undefined, kLeadByte when it begins a pair.
// `pairs` holds, for each lead byte in order, the characters of its trail
// bytes `lowTrail` to `highTrail`: 0 for a pair the code page leaves
// undefined, whose trail byte is then read afresh, and kUndefinedPair for
// one the converter takes in whole before refusing it: it and the byte after
// it are then one undefined sequence, as the Linux program reads them.
struct DoubleBytePage {
  const char* name;
  CodePageChars singles;
  const char16_t* pairs;
  unsigned char lowTrail, highTrail;
};

extern const SingleBytePage kSingleBytePages[];
extern const std::size_t kSingleBytePageCount;
extern const DoubleBytePage kDoubleBytePages[];
extern const std::size_t kDoubleBytePageCount;

}  // namespace rt::tables
