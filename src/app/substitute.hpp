// CHANGESPECIALCHARS as a byte rule and its copies a word and a block at a
// time: inline, as the export's fast path runs them for every character
// field. Internal to the application module.
#pragma once

#include <cstdint>
#include <cstring>
#include <string_view>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace app {

// The substitutes that keep a character value on one line and free of the
// quote: 13 and the soft line break 141 become 191, 10 becomes 192, the
// double quote 34 becomes 193; every other byte stays. Written as selects
// rather than a table so that the compiler can do many bytes at once.
inline unsigned char substitute(unsigned char c) {
  c = (c == 13 || c == 141) ? 191 : c;
  c = c == 10 ? 192 : c;
  return c == 34 ? 193 : c;
}

// Eight bytes: a word without any of the four bytes, the common case, is
// copied whole; a word with one of them goes byte by byte.
inline void copyWordSubstituted(char* to, const unsigned char* from) {
  constexpr std::uint64_t kOnes = 0x0101010101010101ULL, kHighs = 0x8080808080808080ULL;
  const auto hasByte = [](std::uint64_t v, std::uint8_t b) {
    const std::uint64_t x = v ^ (kOnes * b);
    return (x - kOnes) & ~x & kHighs;
  };
  std::uint64_t v;
  std::memcpy(&v, from, 8);
  if (hasByte(v, 10) | hasByte(v, 13) | hasByte(v, 34) | hasByte(v, 141)) {
    for (int k = 0; k < 8; ++k) to[k] = static_cast<char>(substitute(from[k]));
  } else {
    std::memcpy(to, &v, 8);
  }
}

#if defined(__SSE2__)
// Sixteen bytes with each of the four replaced in all lanes at once. Most
// blocks hold none of them and are returned as they are.
inline __m128i substituteBlock(__m128i v) {
  const auto is = [v](char c) { return _mm_cmpeq_epi8(v, _mm_set1_epi8(c)); };
  // 141 becomes 191 as 13 does, as CHANGESPECIALCHARS applies HARDCR first.
  const __m128i cr = _mm_or_si128(is(13), is(static_cast<char>(141))), lf = is(10), quote = is(34);
  const __m128i any = _mm_or_si128(_mm_or_si128(cr, lf), quote);
  if (_mm_movemask_epi8(any) == 0) return v;
  const __m128i by = _mm_or_si128(_mm_or_si128(_mm_and_si128(cr, _mm_set1_epi8(static_cast<char>(191))),
                                               _mm_and_si128(lf, _mm_set1_epi8(static_cast<char>(192)))),
                                  _mm_and_si128(quote, _mm_set1_epi8(static_cast<char>(193))));
  return _mm_or_si128(_mm_andnot_si128(any, v), by);
}
#endif

// Sixteen bytes, the same way.
inline void copyBlockSubstituted(char* to, const unsigned char* from) {
#if defined(__SSE2__)
  const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(to), substituteBlock(v));
#else
  copyWordSubstituted(to, from);
  copyWordSubstituted(to + 8, from + 8);
#endif
}

// CHANGESPECIALCHARS of `text` written at `to`, which has room for it;
// returns the end of what was written.
inline char* copySubstituted(char* to, std::string_view text) {
  const auto* from = reinterpret_cast<const unsigned char*>(text.data());
  const std::size_t n = text.size();
  if (n < 8) {
    for (std::size_t i = 0; i < n; ++i) to[i] = static_cast<char>(substitute(from[i]));
  } else if (n < 16) {
    copyWordSubstituted(to, from);
    copyWordSubstituted(to + n - 8, from + n - 8);
  } else {
    // Sixteen bytes at a time, the last sixteen overlapping the block before.
    for (std::size_t i = 0; i + 16 < n; i += 16) copyBlockSubstituted(to + i, from + i);
    copyBlockSubstituted(to + n - 16, from + n - 16);
  }
  return to + n;
}

}  // namespace app
