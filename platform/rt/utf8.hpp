// UTF-8 written and read by the program itself, alike on every system: no
// call of the operating system, so that every build of the program (a
// WebAssembly one too) turns the same bytes into the same text.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace rt {

// The UTF-8 bytes of `c` (U+0000 to U+10FFFF).
std::string utf8(char32_t c);

// Appends the UTF-8 text `in` to `out` with every ill-formed part replaced
// by U+FFFD, one for each maximal subpart (the longest start of a
// well-formed sequence, else a single byte), as Unicode recommends.
// Overlong forms, surrogates (ED A0..BF) and sequences beyond U+10FFFF (F4
// 90.., F5..FF) are ill-formed. Returns how many U+FFFD it wrote.
std::size_t appendValidUtf8(std::string_view in, std::string& out);

}  // namespace rt
