// Byte scans of the export's fast path: what a field's stored bytes say
// without decoding them into a value. Each scan may read up to 16 bytes
// before and after the field, so the record must lie in a buffer with that
// much room on either side (RecordRenderer keeps such a copy). A text they
// give lies inside the field, an empty one at its start.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace app::scan {

// The length of a character field's value less its trailing blanks and NUL
// padding.
std::size_t trimmedLength(const std::uint8_t* p, std::size_t length);

// True when the field holds, between blanks, a text that already reads as
// its value's text: an optional minus, digits without a leading zero, then a
// point and exactly `decimals` digits when `decimals` > 0, and not minus
// zero. `text` is then that text; false for anything else (blank, NUL
// bytes, more or fewer decimals, stars, exponents).
bool plainNumber(const std::uint8_t* p, std::size_t length, int decimals, std::string_view& text);

// True when a date field holds only blanks, only NUL bytes, "00000000" (all
// three the empty date, `text` empty) or, in exactly eight bytes, eight
// digits (`text` those digits); false for anything else.
bool plainDate(const std::uint8_t* p, std::size_t length, std::string_view& text);

// Whether a logical field's first byte means true: T, t, Y or y.
bool isTrue(std::uint8_t first);

}  // namespace app::scan
