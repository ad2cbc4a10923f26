#include "platform/db/binary_fields.hpp"

#include <algorithm>
#include <cmath>

#include "platform/db/byte_order.hpp"

namespace db {

namespace {

constexpr std::int64_t kSecondsPerDay = 86400;
constexpr std::int64_t kLastOrdinal = 3652059;      // 9999-12-31; 0001-01-01 is 1
constexpr std::int64_t kJulianOfOrdinalZero = 1721425;

// Days since 1970-01-01 to a proleptic Gregorian date (H. Hinnant's method).
void civilFromDays(std::int64_t z, int& y, int& m, int& d) {
  z += 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const std::int64_t doe = z - era * 146097;
  const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const std::int64_t mp = (5 * doy + 2) / 153;
  d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  y = static_cast<int>(yoe + era * 400 + (m <= 2 ? 1 : 0));
}

void putDigits(std::string& out, std::int64_t v, int width) {
  const std::size_t end = out.size() + static_cast<std::size_t>(width);
  out.resize(end);
  for (std::size_t i = end; i-- > end - static_cast<std::size_t>(width);) {
    out[i] = static_cast<char>('0' + v % 10);
    v /= 10;
  }
}

// Formats the moment `seconds` after 0001-01-01 00:00:00; false outside the
// years 1 to 9999.
bool momentText(std::int64_t seconds, std::string& out) {
  if (seconds < 0 || seconds >= kLastOrdinal * kSecondsPerDay) return false;
  const std::int64_t days = seconds / kSecondsPerDay, rest = seconds % kSecondsPerDay;
  int y, m, d;
  civilFromDays(days - 719162, y, m, d);
  out.clear();
  putDigits(out, y, 4);
  putDigits(out, m, 2);
  putDigits(out, d, 2);
  putDigits(out, rest / 3600, 2);
  putDigits(out, rest / 60 % 60, 2);
  putDigits(out, rest % 60, 2);
  return true;
}

// The moment `ms` milliseconds after 0001-01-01 00:00:00 as ISO text;
// false outside the years 1 to 9999.
bool momentIso(std::int64_t ms, std::string& out) {
  if (ms < 0 || ms >= kLastOrdinal * kSecondsPerDay * 1000) return false;
  const std::int64_t seconds = ms / 1000, days = seconds / kSecondsPerDay, rest = seconds % kSecondsPerDay;
  int y, m, d;
  civilFromDays(days - 719162, y, m, d);
  out.clear();
  putDigits(out, y, 4);
  out += '-';
  putDigits(out, m, 2);
  out += '-';
  putDigits(out, d, 2);
  out += ' ';
  putDigits(out, rest / 3600, 2);
  out += ':';
  putDigits(out, rest / 60 % 60, 2);
  out += ':';
  putDigits(out, rest % 60, 2);
  if (ms % 1000 != 0) {
    out += '.';
    putDigits(out, ms % 1000, 3);
  }
  return true;
}

std::int64_t floorDiv(std::int64_t a, std::int64_t b) {
  return a / b - ((a % b != 0) && ((a < 0) != (b < 0)) ? 1 : 0);
}

enum class Moment { Unset, Inside, Outside };

// The moment a T field holds, in milliseconds since 0001-01-01 00:00:00: a
// Julian day number and the milliseconds of the day (two int32 LE). Unset
// when all blank or NUL, or day 0.
Moment vfpMoment(const std::uint8_t* p, std::int64_t& ms) {
  bool blank = true;
  for (int i = 0; i < 8; ++i) blank = blank && (p[i] == ' ' || p[i] == 0);
  const std::int64_t julian = static_cast<std::int32_t>(readLe32(p));
  if (blank || julian == 0) return Moment::Unset;
  const std::int64_t ordinal = julian - kJulianOfOrdinalZero;
  if (ordinal < 1 || ordinal > kLastOrdinal) return Moment::Outside;
  ms = (ordinal - 1) * kSecondsPerDay * 1000 + static_cast<std::int32_t>(readLe32(p + 4));
  return Moment::Inside;
}

// The day (1 for 0001-01-01) and the milliseconds into it of an @ field: a
// BE double of milliseconds. Unset when all eight bytes are NUL.
Moment level7Moment(const std::uint8_t* p, double& day, double& rest) {
  bool zero = true;
  for (int i = 0; i < 8; ++i) zero = zero && p[i] == 0;
  if (zero) return Moment::Unset;
  const double ms = doubleFromBits(readBe64(p));
  if (!std::isfinite(ms)) return Moment::Outside;
  day = std::floor(ms / 86400000.0);
  if (day < 1 || day > static_cast<double>(kLastOrdinal)) return Moment::Outside;
  rest = ms - day * 86400000.0;
  return Moment::Inside;
}

}  // namespace

std::int32_t vfpInteger(const std::uint8_t* p) { return static_cast<std::int32_t>(readLe32(p)); }

std::int32_t level7Integer(const std::uint8_t* p) {
  return static_cast<std::int32_t>(readBe32(p) ^ 0x80000000u);
}

double vfpDouble(const std::uint8_t* p) { return doubleFromBits(readLe64(p)); }

double level7Double(const std::uint8_t* p) {
  std::uint64_t bits = readBe64(p);
  bits = (bits & 0x8000000000000000ull) ? bits & 0x7FFFFFFFFFFFFFFFull : ~bits;
  return doubleFromBits(bits);
}

std::string currencyText(const std::uint8_t* p) {
  const auto v = static_cast<std::int64_t>(readLe64(p));
  const std::uint64_t magnitude = v < 0 ? 0 - static_cast<std::uint64_t>(v) : static_cast<std::uint64_t>(v);
  std::string out = v < 0 ? "-" : "";
  out += std::to_string(magnitude / 10000);
  out += '.';
  putDigits(out, static_cast<std::int64_t>(magnitude % 10000), 4);
  return out;
}

bool vfpDateTimeText(const std::uint8_t* p, std::string& out) {
  out.clear();
  std::int64_t ms = 0;
  const Moment m = vfpMoment(p, ms);
  return m == Moment::Unset || (m == Moment::Inside && momentText(floorDiv(ms, 1000), out));
}

bool level7TimestampText(const std::uint8_t* p, std::string& out) {
  out.clear();
  double day = 0, rest = 0;
  const Moment m = level7Moment(p, day, rest);
  if (m != Moment::Inside) return m == Moment::Unset;
  // The time of day, rounded to whole microseconds half to even, then
  // truncated to seconds.
  const double whole = std::trunc(rest);
  const double micros = whole * 1000.0 + std::nearbyint((rest - whole) * 1000.0);
  const auto seconds = static_cast<std::int64_t>(std::floor(micros / 1e6));
  return momentText((static_cast<std::int64_t>(day) - 1) * kSecondsPerDay + seconds, out);
}

bool vfpDateTimeIso(const std::uint8_t* p, std::string& out) {
  out.clear();
  std::int64_t ms = 0;
  const Moment m = vfpMoment(p, ms);
  return m == Moment::Unset || (m == Moment::Inside && momentIso(ms, out));
}

bool level7TimestampIso(const std::uint8_t* p, std::string& out) {
  out.clear();
  double day = 0, rest = 0;
  const Moment m = level7Moment(p, day, rest);
  if (m != Moment::Inside) return m == Moment::Unset;
  // Whole milliseconds of the day; a time that rounds up to midnight stays
  // in its own day's last millisecond rather than invent the next day.
  const double ms = std::min(std::nearbyint(rest), 86399999.0);
  return momentIso((static_cast<std::int64_t>(day) - 1) * kSecondsPerDay * 1000 + static_cast<std::int64_t>(ms), out);
}

}  // namespace db
