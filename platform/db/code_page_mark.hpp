// The code page a table declares: the mark in byte 29 of its header, or the
// language driver name of a dBase 7 header.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace db {

// The code page of a header's mark (byte 29) as a number ("866") or a
// converter's name ("MACINTOSH", "UTF-8"); "" for 0 and for marks not known.
std::string codePageOfMark(std::uint8_t mark);

// The code page a dBase 7 language driver name gives ("DB866RU0" 866,
// "DBWINUS0" 1252); "" for any other.
std::string codePageOfDriver(std::string_view driver);

}  // namespace db
