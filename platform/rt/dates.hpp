// Dates as text and the clock: DTOS, DTOC, CTOD, DATE, TIME. The date format
// is setting 4 (letters y, m, d; "mm/dd/yyyy" with four-digit years); the
// epoch, setting 5, places two-digit years read by CTOD.
#pragma once

#include <string>
#include <string_view>

#include "platform/rt/value.hpp"

namespace rt {

// DTOS: "YYYYMMDD", eight blanks for the empty date, the stored characters
// of a date field that holds no valid date.
inline std::string dtos(const Date& d) { return d.dtos(); }

// DTOC: the date in the date format in force ("mm/dd/yyyy" gives
// 12/31/1999). "yyyy" takes the four year digits, "yy" the last two, "mm"
// and "dd" month and day, every other character stands as it is. The empty
// date gives the format with its letters blanked ("  /  /    ").
std::string dtoc(const Date& d);
// The same with a format of the caller's.
std::string dtoc(const Date& d, std::string_view format);

// CTOD: reads a date written in the date format in force; a two-digit year
// is placed in the hundred years starting at the epoch. A text that is no
// valid date gives the empty date.
Date ctod(std::string_view text);
Date ctod(std::string_view text, std::string_view format, int epoch);

// DATE: today's date, local time.
Date date();
// TIME: the local time of day as "hh:mm:ss".
std::string time();

}  // namespace rt
