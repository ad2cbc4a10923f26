// The runtime's string functions. Strings are byte strings, one byte per
// character; positions are 1-based, 0 meaning "not found". STR and TRANSFORM
// (numbers.hpp), the memo line wrap (memo_lines.hpp) and the display form of
// values (display.hpp) are included here, so this header gives them all.
#pragma once

#include <string>
#include <string_view>

#include "platform/rt/display.hpp"
#include "platform/rt/memo_lines.hpp"
#include "platform/rt/numbers.hpp"

namespace rt {

// UPPER and LOWER: ASCII letters upper- or lower-cased; other bytes
// unchanged, whatever the locale (a byte of a code page is no letter here).
std::string upper(std::string_view s);
std::string lower(std::string_view s);
constexpr char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
// Whether `a` and `b` differ at most in the case of ASCII letters.
bool equalsIgnoringCase(std::string_view a, std::string_view b);

// The trims as views into `s` (no copy) for loops that only look.
std::string_view trimView(std::string_view s);     // trailing spaces removed
std::string_view lTrimView(std::string_view s);    // leading blanks removed
std::string_view allTrimView(std::string_view s);  // both

// TRIM/RTRIM, LTRIM, ALLTRIM. TRIM takes only spaces away; LTRIM and
// ALLTRIM take tabs, carriage returns and line feeds as blanks too, so a
// name read from a text file loses its line end.
std::string trim(std::string_view s);
inline std::string rTrim(std::string_view s) { return trim(s); }
std::string lTrim(std::string_view s);
std::string allTrim(std::string_view s);

// PADR / PADL: `s` cut or filled with `fill` to `width` (nothing for width <= 0).
std::string padR(std::string_view s, int width, char fill = ' ');
std::string padL(std::string_view s, int width, char fill = ' ');

// LEFT: the first `count` bytes ("" for count <= 0).
std::string left(std::string_view s, int count);
// SUBSTR from `start` (1-based; 0 counts as 1; negative counts from the end),
// to the end or `count` bytes; "" when `start` lies beyond the end.
std::string subStr(std::string_view s, int start);
std::string subStr(std::string_view s, int start, int count);

// AT / RAT: position of the first / last occurrence of `needle` in `hay`, 0
// when absent or when `needle` is empty.
int at(std::string_view needle, std::string_view hay);
int rat(std::string_view needle, std::string_view hay);

// STRTRAN: every occurrence of `search` replaced by `replace` (from the
// `start`-th occurrence, at most `count` of them when count >= 0). An empty
// `search` changes nothing.
std::string strTran(std::string_view s, std::string_view search, std::string_view replace = {},
                    int start = 1, int count = -1);

// REPLICATE, SPACE, CHR (code taken modulo 256).
std::string replicate(std::string_view s, int times);
std::string space(int count);
std::string chr(int code);

// The runtime's "=" on texts. With SET EXACT off, `a` equals `b` when it
// begins with `b` ("TX" = "T", anything = ""); with it on, the two must be
// equal but for trailing blanks. textEqual follows the setting in force.
bool nonExactEqual(std::string_view a, std::string_view b);
bool exactEqual(std::string_view a, std::string_view b);
bool textEqual(std::string_view a, std::string_view b);

}  // namespace rt
