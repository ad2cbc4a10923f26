// Fields stored in binary: integers, currency, doubles, datetimes. Visual
// FoxPro stores them little-endian; dBase 7 big-endian with the sign bit
// flipped so that byte order equals sort order.
#pragma once

#include <cstdint>
#include <string>

namespace db {

std::int32_t vfpInteger(const std::uint8_t* p);     // I: int32 LE
std::int32_t level7Integer(const std::uint8_t* p);  // I, +: uint32 BE xor 0x80000000
double vfpDouble(const std::uint8_t* p);            // B: IEEE double LE
double level7Double(const std::uint8_t* p);         // O: order-preserving BE double

// Y: an int64 LE scaled by 10,000, written exactly with four decimals.
std::string currencyText(const std::uint8_t* p);

// T: Julian day number and milliseconds (two int32 LE) as "YYYYMMDDhhmmss"
// (seconds truncated), "" when not set (all blank or NUL, or day 0). Returns
// false when the moment lies outside the years 1 to 9999.
bool vfpDateTimeText(const std::uint8_t* p, std::string& out);

// @: milliseconds since 0001-01-01 minus one day as a BE double, written like
// T; "" when all eight bytes are NUL. False outside the years 1 to 9999.
bool level7TimestampText(const std::uint8_t* p, std::string& out);

// T and @ for data tools: "YYYY-MM-DD HH:MM:SS", with ".fff" when the
// milliseconds are not zero; "" when not set, as above. False outside the
// years 1 to 9999.
bool vfpDateTimeIso(const std::uint8_t* p, std::string& out);
bool level7TimestampIso(const std::uint8_t* p, std::string& out);

}  // namespace db
