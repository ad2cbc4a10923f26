// What a field's stored bytes mean, as DBF files write them: blank and NUL
// padding, the letters of a true logical, the shape of a stored date, the
// text of a plain stored number. decodeField() builds values on these rules
// and the export's fast path reads the bytes by them without a value.
//
// The scans marked "padded" may read up to 16 bytes before and after the
// field, so the record must lie in a buffer with that much room on either
// side (the fast path keeps such a copy); the others read only the field.
// A text they give lies inside the field, an empty one at its start.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace db::stored {

// Whether a byte pads a character value: a blank, or the NUL some writers
// pad with.
inline bool isPadding(std::uint8_t b) { return b == ' ' || b == 0; }

// Whether a logical field's first byte means true: T, t, Y or y.
inline bool isTrue(std::uint8_t first);

// What a date field holds: the empty date (only blanks, only NUL bytes, or
// exactly "00000000"), eight digits followed by nothing but blanks, or
// anything else (stored characters that are no date).
enum class DateShape : std::uint8_t { Empty, Digits, Other };
inline DateShape dateShape(std::string_view s);

// Padded: the length of a character field's value less its trailing blanks
// and NUL padding.
inline std::size_t trimmedLength(const std::uint8_t* p, std::size_t length);

// Padded: true when the field holds, between blanks, a text that already reads as
// its value's text: an optional minus, digits without a leading zero, then a
// point and exactly `decimals` digits when `decimals` > 0, and not minus
// zero. `text` is then that text; false for anything else (blank, NUL
// bytes, more or fewer decimals, stars, exponents).
inline bool plainNumber(const std::uint8_t* p, std::size_t length, int decimals,
                        std::string_view& text);

// dateShape() of a date field, quickly, for the two answers that need no
// value: true with `text` empty for the empty date, true with `text` the
// digits when an eight-byte field holds eight digits; false for anything
// else (wider fields with digits included).
inline bool plainDate(const std::uint8_t* p, std::size_t length, std::string_view& text);

#if defined(__SSE2__)
// One bit per byte of `v` that is no padding: a byte of a character value.
inline unsigned valueBytes(__m128i v);
#endif

// ---- Inline, as the export's fast path runs them for every field ----------

namespace detail {

inline constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
inline constexpr std::uint64_t kBlanks = kOnes * ' ';

inline std::string_view bytesOf(const std::uint8_t* p, std::size_t n) {
  return {reinterpret_cast<const char*>(p), n};
}

inline bool allAre(std::string_view s, char c) {
  for (const char x : s) {
    if (x != c) return false;
  }
  return true;
}

inline bool allDigits(std::string_view s) {
  for (const char x : s) {
    if (x < '0' || x > '9') return false;
  }
  return true;
}

// Eight bytes that are all digits: each byte's high half is 3, and stays 3
// when 6 is added (which carries out of the nine digits only).
inline bool eightDigits(std::uint64_t v) {
  constexpr std::uint64_t kHigh = kOnes * 0xF0, kThrees = kOnes * 0x30;
  return (v & kHigh) == kThrees && ((v + kOnes * 6) & kHigh) == kThrees;
}

// Digits from `from` to `to`: whether all are digits, and whether any is not 0.
inline void scanDigits(const std::uint8_t* p, std::size_t from, std::size_t to, bool& digits,
                       bool& nonZero) {
  for (std::size_t k = from; k < to; ++k) {
    digits = digits && p[k] >= '0' && p[k] <= '9';
    nonZero = nonZero || p[k] != '0';
  }
}

// plainNumber() one byte at a time, for any width.
inline bool plainNumberBytes(const std::uint8_t* p, std::size_t n, int decimals,
                             std::string_view& text) {
  std::size_t i = 0;
  while (i < n && p[i] == ' ') ++i;
  while (n > i && p[n - 1] == ' ') --n;
  const std::size_t begin = i;
  const bool negative = i < n && p[i] == '-';
  i += negative ? 1 : 0;
  const std::size_t fraction = decimals > 0 ? static_cast<std::size_t>(decimals) + 1 : 0;
  if (n - i < fraction + 1) return false;
  const std::size_t point = n - fraction;
  if (fraction > 0 && p[point] != '.') return false;
  if (p[i] == '0' && point - i > 1) return false;
  bool digits = true, nonZero = false;
  scanDigits(p, i, point, digits, nonZero);
  if (fraction > 0) scanDigits(p, point + 1, n, digits, nonZero);
  if (!digits || (negative && !nonZero)) return false;
  text = bytesOf(p + begin, n - begin);
  return true;
}

#if defined(__SSE2__)
inline __m128i load16(const std::uint8_t* p) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

// One bit per byte of `v` that equals `c`.
inline unsigned bytesEqual(__m128i v, char c) {
  return static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, _mm_set1_epi8(c))));
}

// plainNumber() for a field of at most 16 bytes, all of them compared at
// once: the bits of each mask stand for the bytes of the field, and the
// checks combine without a branch until the answer.
inline bool plainNumber16(const std::uint8_t* p, std::size_t length, int decimals,
                          std::string_view& text) {
  const __m128i v = load16(p);
  const unsigned valid = (1u << length) - 1;
  const unsigned filled = ~bytesEqual(v, ' ') & valid;
  if (filled == 0) return false;
  const __m128i clamped = _mm_min_epu8(_mm_max_epu8(v, _mm_set1_epi8('0')), _mm_set1_epi8('9'));
  const auto digits = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(clamped, v)));
  const unsigned zeros = bytesEqual(v, '0'), dots = bytesEqual(v, '.');
  const auto begin = static_cast<unsigned>(__builtin_ctz(filled));
  const auto end = 32u - static_cast<unsigned>(__builtin_clz(filled));
  const unsigned negative = p[begin] == '-' ? 1u : 0u;
  const unsigned start = begin + negative;
  const unsigned fraction = decimals > 0 ? static_cast<unsigned>(decimals) + 1 : 0;
  // At least one whole digit before the decimals.
  const bool room = end >= start + fraction + 1;
  const unsigned point = room ? end - fraction : start;
  const unsigned body = ((1u << end) - 1) & ~((1u << start) - 1);
  const unsigned pointBit = fraction > 0 ? 1u << point : 0u;
  const bool ok = room & ((dots & body) == pointBit) & ((digits & body) == (body & ~pointBit)) &
                  (((zeros >> start) & 1u) == 0 || point - start == 1) &
                  (negative == 0 || (body & ~pointBit & ~zeros) != 0);
  if (!ok) return false;
  text = bytesOf(p + begin, end - begin);
  return true;
}
#endif

}  // namespace detail

#if defined(__SSE2__)
inline unsigned valueBytes(__m128i v) {
  const __m128i pad = _mm_or_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8(' ')),
                                   _mm_cmpeq_epi8(v, _mm_setzero_si128()));
  return ~static_cast<unsigned>(_mm_movemask_epi8(pad)) & 0xFFFFu;
}
#endif

inline std::size_t trimmedLength(const std::uint8_t* p, std::size_t length) {
#if defined(__SSE2__)
  // Sixteen bytes at a time from the end; bytes before the field are masked.
  for (std::size_t end = length; end > 0; end = end > 16 ? end - 16 : 0) {
    unsigned keep = valueBytes(detail::load16(p + end - 16));
    if (end < 16) keep &= 0xFFFFu << (16 - end);
    if (keep != 0) return end + (32u - static_cast<unsigned>(__builtin_clz(keep))) - 16;
  }
  return 0;
#else
  while (length > 0 && isPadding(p[length - 1])) --length;
  return length;
#endif
}

inline bool plainNumber(const std::uint8_t* p, std::size_t length, int decimals,
                        std::string_view& text) {
#if defined(__SSE2__)
  if (length <= 16) return detail::plainNumber16(p, length, decimals, text);
#endif
  return detail::plainNumberBytes(p, length, decimals, text);
}

inline bool plainDate(const std::uint8_t* p, std::size_t length, std::string_view& text) {
  text = detail::bytesOf(p, 0);
  if (length == 8) {
    std::uint64_t v;
    std::memcpy(&v, p, 8);
    if (v == detail::kBlanks || v == 0 || v == detail::kOnes * '0') return true;
    if (!detail::eightDigits(v)) return false;
    text = detail::bytesOf(p, 8);
    return true;
  }
  return dateShape(detail::bytesOf(p, length)) == DateShape::Empty;
}

inline DateShape dateShape(std::string_view s) {
  if (detail::allAre(s, ' ') || detail::allAre(s, '\0') || s == "00000000") return DateShape::Empty;
  const bool digits = s.size() >= 8 && detail::allDigits(s.substr(0, 8)) &&
                      detail::allAre(s.substr(8), ' ');
  return digits ? DateShape::Digits : DateShape::Other;
}

inline bool isTrue(std::uint8_t first) {
  const unsigned lower = first | 0x20u;
  return lower == 't' || lower == 'y';
}

}  // namespace db::stored
