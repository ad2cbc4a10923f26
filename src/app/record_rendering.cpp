// Record rendering: a record as an array of values, each value as the text
// that goes between the double quotes of the output.
#include <cstdint>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "platform/db/workarea.hpp"
#include "platform/rt/error.hpp"
#include "platform/rt/strings.hpp"
#include "src/app/export_detail.hpp"

namespace app {
namespace {

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
void copyWordSubstituted(char* to, const unsigned char* from) {
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

// Sixteen bytes, each of the four replaced in all lanes at once.
void copyBlockSubstituted(char* to, const unsigned char* from) {
#if defined(__SSE2__)
  __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from));
  const auto replace = [](__m128i x, char which, char by) {
    const __m128i hit = _mm_cmpeq_epi8(x, _mm_set1_epi8(which));
    return _mm_or_si128(_mm_andnot_si128(hit, x), _mm_and_si128(hit, _mm_set1_epi8(by)));
  };
  // 141 becomes 13 first, as CHANGESPECIALCHARS applies HARDCR first.
  v = replace(v, static_cast<char>(141), 13);
  v = replace(v, 13, static_cast<char>(191));
  v = replace(v, 10, static_cast<char>(192));
  v = replace(v, 34, static_cast<char>(193));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(to), v);
#else
  copyWordSubstituted(to, from);
  copyWordSubstituted(to + 8, from + 8);
#endif
}

// ALLTRIM of the text appended to `out` from `start` on, in place.
void allTrimFrom(std::string& out, std::size_t start) {
  const std::string_view appended(out.data() + start, out.size() - start);
  const std::string_view kept = rt::allTrimView(appended);
  if (kept.size() == appended.size()) return;
  const std::size_t offset = static_cast<std::size_t>(kept.data() - appended.data());
  out.erase(start + offset + kept.size());
  out.erase(start, offset);
}

// VARTOCHAR appended to `out`.
void appendVarToChar(std::string& out, const rt::Value& xValue) {
  const char cType = xValue.type();
  switch (cType) {
    case 'D': out += xValue.date().dtos(); break;
    case 'L': out += xValue.logical() ? 'T' : 'F'; break;
    case 'N': {
      const std::size_t start = out.size();
      rt::appendStr(out, xValue.number());
      allTrimFrom(out, start);
      break;
    }
    case 'C':
    case 'M': appendSubstituted(out, xValue.text()); break;
    default: msg(std::string("UNDETERMINED TYPE ") + cType); break;
  }
}

}  // namespace

char* copySubstituted(char* to, std::string_view text) {
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

void appendSubstituted(std::string& out, std::string_view text) {
  const std::size_t start = out.size();
  out.resize(start + text.size());
  copySubstituted(out.data() + start, text);
}

void dbf2Array(rt::Array& aRecord) {
  RT_PROC("DBF2ARRAY");
  std::size_t n = 0;
  // The field count is read again before each field, as the routine always
  // did; the array's elements are reused, only their values change.
  for (int nField = 1; nField <= db::fCount(); ++nField, ++n) {
    if (n < aRecord.size()) {
      aRecord[n] = db::fieldGet(nField);
    } else {
      aRecord.push_back(db::fieldGet(nField));
    }
  }
  aRecord.resize(n);
}

rt::Array dbf2Array(const std::optional<std::string>& cAlias) {
  RT_PROC("DBF2ARRAY");
  rt::Array aRecord;
  if (!cAlias) {
    dbf2Array(aRecord);
  } else {
    db::inArea(db::select(*cAlias), [&] { dbf2Array(aRecord); });
  }
  return aRecord;
}

std::string varToChar(const rt::Value& xValue) {
  RT_PROC("VARTOCHAR");
  std::string cText;
  appendVarToChar(cText, xValue);
  return cText;
}

void appendValue(std::string& cLine, const rt::Value& xValue) {
  RT_PROC("VARTOCHAR");
  if (xValue.isText()) {
    // No byte becomes a blank and no blank changes, so trimming before the
    // substitution gives the same text and spares the padding of wide fields.
    appendSubstituted(cLine, rt::trimView(xValue.text()));
    return;
  }
  const std::size_t start = cLine.size();
  appendVarToChar(cLine, xValue);
  // TRIM: trailing blanks go, leading blanks stay.
  std::size_t end = cLine.size();
  while (end > start && cLine[end - 1] == ' ') --end;
  cLine.resize(end);
}

std::string changeSpecialChars(std::string_view cText) {
  RT_PROC("CHANGESPECIALCHARS");
  std::string cResult;
  appendSubstituted(cResult, cText);
  return cResult;
}

}  // namespace app
