#include "platform/db/number_text.hpp"

#include <cmath>
#include <cstdint>

#include "platform/db/float_chars.hpp"

namespace db {

namespace {

constexpr std::int64_t kMaxDigits = 400;

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// A parsed decimal: value = 0.<digits> x 10^point, digits without leading
// zeros (empty for zero).
struct Decimal {
  bool negative = false;
  std::string digits;
  std::int64_t point = 0;
};

bool parseExponent(std::string_view s, std::size_t& i, std::int64_t& exponent) {
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  const std::size_t start = i;
  std::int64_t e = 0;
  for (; i < s.size() && isDigit(s[i]); ++i) {
    if (e < 1'000'000'000) e = e * 10 + (s[i] - '0');  // saturates: far beyond any limit
  }
  exponent = negative ? -e : e;
  return i > start;
}

// Grammar: [+-]? (digits [. digits?] | . digits) ([eE] [+-]? digits)?
bool parseDecimal(std::string_view s, Decimal& d) {
  std::size_t i = 0;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) d.negative = s[i++] == '-';
  std::size_t intDigits = 0, fracDigits = 0;
  for (; i < s.size() && isDigit(s[i]); ++i, ++intDigits) d.digits += s[i];
  if (i < s.size() && s[i] == '.') {
    for (++i; i < s.size() && isDigit(s[i]); ++i, ++fracDigits) d.digits += s[i];
  }
  if (intDigits + fracDigits == 0) return false;
  std::int64_t exponent = 0;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    ++i;
    if (!parseExponent(s, i, exponent)) return false;
  }
  if (i != s.size()) return false;
  d.point = static_cast<std::int64_t>(intDigits) + exponent;
  std::size_t lead = d.digits.find_first_not_of('0');
  if (lead == std::string::npos) {
    d.digits.clear();
    d.point = 0;
  } else {
    d.digits.erase(0, lead);
    d.point -= static_cast<std::int64_t>(lead);
  }
  return true;
}

// The digits of round-half-up(value x 10^decimals), without leading zeros.
bool scaledDigits(const Decimal& d, int decimals, std::string& r) {
  r.clear();
  if (d.digits.empty()) return true;
  const std::int64_t keep = d.point + decimals;
  if (keep > kMaxDigits) return false;
  if (keep < 0) return true;
  const auto k = static_cast<std::size_t>(keep);
  r.assign(d.digits, 0, std::min(k, d.digits.size()));
  r.append(k - r.size(), '0');
  if (k < d.digits.size() && d.digits[k] >= '5') {
    std::size_t i = r.size();
    while (i > 0 && r[i - 1] == '9') r[--i] = '0';
    if (i == 0) r.insert(r.begin(), '1');
    else ++r[i - 1];
  }
  std::size_t lead = r.find_first_not_of('0');
  r.erase(0, lead == std::string::npos ? r.size() : lead);
  return static_cast<std::int64_t>(r.size()) <= kMaxDigits;
}

// True when `text` already reads as formatStoredNumber() would write it,
// the common case, which then needs no arithmetic.
bool isCanonical(std::string_view text, std::size_t decimals) {
  std::size_t i = 0;
  const bool negative = !text.empty() && text[0] == '-';
  if (negative) ++i;
  const std::size_t intStart = i;
  while (i < text.size() && isDigit(text[i])) ++i;
  const std::size_t intDigits = i - intStart;
  if (intDigits == 0 || (intDigits > 1 && text[intStart] == '0')) return false;
  bool nonZero = intDigits > 1 || text[intStart] != '0';
  if (decimals > 0) {
    if (i >= text.size() || text[i] != '.' || text.size() - i - 1 != decimals) return false;
    for (++i; i < text.size(); ++i) {
      if (!isDigit(text[i])) return false;
      nonZero = nonZero || text[i] != '0';
    }
  }
  return i == text.size() && (!negative || nonZero);
}

}  // namespace

std::string_view trimNumericField(std::string_view stored, std::string& scratch) {
  if (stored.find('\0') != std::string_view::npos) {
    scratch.clear();
    for (char c : stored)
      if (c != '\0') scratch += c;
    stored = scratch;
  }
  const std::size_t first = stored.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  const std::size_t last = stored.find_last_not_of(' ');
  return stored.substr(first, last - first + 1);
}

bool formatStoredNumber(std::string_view text, int decimals, std::string& out) {
  if (isCanonical(text, static_cast<std::size_t>(decimals))) {
    out.assign(text);
    return true;
  }
  Decimal d;
  if (!text.empty() && !parseDecimal(text, d)) return false;
  std::string r;
  if (!scaledDigits(d, decimals, r)) return false;
  const auto dec = static_cast<std::size_t>(decimals);
  if (r.size() < dec + 1) r.insert(0, dec + 1 - r.size(), '0');
  out.clear();
  if (d.negative && r.find_first_not_of('0') != std::string::npos) out += '-';
  out.append(r, 0, r.size() - dec);
  if (dec > 0) {
    out += '.';
    out.append(r, r.size() - dec, dec);
  }
  return true;
}

std::string shortestFixed(double value) {
  if (!std::isfinite(value)) return {};
  if (value == 0) return "0";
  char buf[64];
  Decimal d;
  const bool ok = parseDecimal(shortestScientific(value, buf), d);
  if (!ok) return {};
  while (!d.digits.empty() && d.digits.back() == '0') d.digits.pop_back();
  std::string out = d.negative ? "-" : "";
  const auto n = static_cast<std::int64_t>(d.digits.size());
  if (d.point <= 0) {
    out += "0.";
    out.append(static_cast<std::size_t>(-d.point), '0');
    out += d.digits;
  } else if (d.point >= n) {
    out += d.digits;
    out.append(static_cast<std::size_t>(d.point - n), '0');
  } else {
    out.append(d.digits, 0, static_cast<std::size_t>(d.point));
    out += '.';
    out.append(d.digits, static_cast<std::size_t>(d.point), std::string::npos);
  }
  return out;
}

int decimalsOf(std::string_view text) {
  const std::size_t point = text.find('.');
  return point == std::string_view::npos ? 0 : static_cast<int>(text.size() - point - 1);
}

}  // namespace db
