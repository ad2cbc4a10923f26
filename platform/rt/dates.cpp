#include "platform/rt/dates.hpp"

#include <ctime>

#include "platform/rt/settings.hpp"
#include "platform/rt/strings.hpp"

namespace rt {

namespace {

std::string formatInForce() {
  Value format = set(Set::DateFormat);
  return format.isString() && !format.text().empty() ? format.text() : std::string("mm/dd/yy");
}

int epochInForce() {
  Value epoch = set(Set::Epoch);
  return epoch.isNumber() ? static_cast<int>(epoch.num()) : 1900;
}

// The length of the run of letter `c` at `pos` in `format`.
size_t runLength(std::string_view format, size_t pos) {
  size_t end = pos;
  while (end < format.size() && lowerAscii(format[end]) == lowerAscii(format[pos])) ++end;
  return end - pos;
}

// Reads `count` digits at `pos`; -1 when there are not that many digits.
int digitsAt(std::string_view text, size_t pos, size_t count) {
  if (pos + count > text.size()) return -1;
  int n = 0;
  for (size_t i = pos; i < pos + count; ++i) {
    if (!std::isdigit(static_cast<unsigned char>(text[i]))) return -1;
    n = n * 10 + (text[i] - '0');
  }
  return n;
}

}  // namespace

std::string dtoc(const Date& d) { return dtoc(d, formatInForce()); }

std::string dtoc(const Date& d, std::string_view format) {
  const auto& ymd = d.ymd;
  std::string out;
  out.reserve(format.size());
  for (size_t pos = 0; pos < format.size();) {
    char c = lowerAscii(format[pos]);
    size_t run = runLength(format, pos);
    if (c == 'y') {
      size_t take = run >= 4 ? 4 : 2;
      out.append(ymd.data() + 4 - take, take);
      out.append(run - take, ' ');
    } else if (c == 'm' || c == 'd') {
      out.append(ymd.data() + (c == 'm' ? 4 : 6), run >= 2 ? 2 : run);
      if (run > 2) out.append(run - 2, ' ');
    } else {
      out.append(format.substr(pos, run));
    }
    pos += run;
  }
  return out;
}

Date ctod(std::string_view text) { return ctod(text, formatInForce(), epochInForce()); }

Date ctod(std::string_view text, std::string_view format, int epoch) {
  int year = -1, month = -1, day = -1;
  size_t yearDigits = 0;
  for (size_t pos = 0; pos < format.size();) {
    char c = lowerAscii(format[pos]);
    size_t run = runLength(format, pos);
    if (c == 'y') {
      yearDigits = run >= 4 ? 4 : 2;
      year = digitsAt(text, pos, yearDigits);
    } else if (c == 'm') {
      month = digitsAt(text, pos, 2);
    } else if (c == 'd') {
      day = digitsAt(text, pos, 2);
    }
    pos += run;
  }
  if (year < 0 || month < 0 || day < 0) return Date::empty();
  if (yearDigits == 2) {
    int century = epoch / 100 * 100;
    year += century;
    if (year < epoch) year += 100;
  }
  Date d = Date::fromYmd(year, month, day);
  return d.isValid() ? d : Date::empty();
}

Date date() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return Date::fromYmd(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
}

std::string time() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char buf[16];
  std::strftime(buf, sizeof buf, "%H:%M:%S", &local);
  return buf;
}

}  // namespace rt
