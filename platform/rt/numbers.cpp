#include "platform/rt/numbers.hpp"

#include <algorithm>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <optional>

#include "platform/rt/display.hpp"
#include "platform/rt/error_codes.hpp"
#include "platform/rt/strings.hpp"

namespace rt {

namespace {

constexpr int kMaxDecimals = 30;
constexpr int kDefaultIntegerPlaces = 10;

int clampDecimals(int decimals) {
  return decimals < 0 ? 0 : decimals > kMaxDecimals ? kMaxDecimals : decimals;
}

// Right-aligns `body` to `width`, or gives `width` asterisks when it does not fit.
std::string fitWidth(std::string_view body, int width) {
  size_t w = static_cast<size_t>(width < 1 ? kDefaultIntegerPlaces : width);
  if (body.size() > w) return std::string(w, '*');
  std::string out(w - body.size(), ' ');
  out.append(body);
  return out;
}

// A value that is no number: the error block may hand a number instead.
std::optional<Number> numberOrSubstitute(const Value& v, const char* operation) {
  if (v.isNumber()) return v.number();
  Answer answer = raise(makeError(Condition::ArgumentError, {}, operation, 0, Value(Array{v}),
                                  {std::string(operation) + " needs a number"}));
  if (answer.kind == Answer::Substitute) return answer.value.number();
  return std::nullopt;
}

}  // namespace

namespace {

constexpr int kExactDecimals = 15;
constexpr double kPow10[kExactDecimals + 1] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                                1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};

// Writes the integer `u` as `decimals` fraction digits after the integer
// part into `buf`; returns the length.
size_t formatScaled(char* buf, unsigned long long u, int decimals, bool negative) {
  unsigned long long scale = static_cast<unsigned long long>(kPow10[decimals]);
  char* p = buf;
  if (negative && u != 0) *p++ = '-';
  p = std::to_chars(p, p + 24, u / scale).ptr;
  if (decimals > 0) {
    *p++ = '.';
    char digits[24];
    char* end = std::to_chars(digits, digits + sizeof digits, u % scale).ptr;
    for (size_t zeros = static_cast<size_t>(decimals) - static_cast<size_t>(end - digits); zeros > 0; --zeros)
      *p++ = '0';
    for (const char* d = digits; d < end; ++d) *p++ = *d;
  }
  return static_cast<size_t>(p - buf);
}

constexpr size_t kFixedBuffer = 400;

// `value` rounded to `decimals` into `buf` (kFixedBuffer bytes); returns the length.
size_t formatFixed(char* buf, double value, int decimals) {
  decimals = clampDecimals(decimals);
  if (!std::isfinite(value)) {
    std::memcpy(buf, "***", 3);
    return 3;
  }
  // Round half away from zero on the decimal digits the reader sees: the
  // nudge of a few units in the last place turns 1.005 (stored as
  // 1.00499999...) into 1.01, as a person reading the number expects. While
  // the scaled number is an exact integer of a double, the digits come from
  // integer arithmetic, which is both exact and fast.
  if (decimals <= kExactDecimals) {
    double scaled = value * kPow10[decimals];
    if (std::fabs(scaled) < 4.5e15) {
      double rounded = std::round(scaled * (1.0 + 4 * DBL_EPSILON));
      return formatScaled(buf, static_cast<unsigned long long>(std::fabs(rounded)), decimals, rounded < 0);
    }
  }
  int len = std::snprintf(buf, kFixedBuffer, "%.*f", decimals, value);
  return len <= 0 ? 0 : std::min(static_cast<size_t>(len), kFixedBuffer - 1);
}

}  // namespace

void appendFixed(std::string& out, double value, int decimals) {
  char buf[kFixedBuffer];
  out.append(buf, formatFixed(buf, value, decimals));
}

void appendStr(std::string& out, const Number& n) {
  if (!n.text.empty()) {
    out.append(n.text);
    return;
  }
  int decimals = clampDecimals(n.decimals);
  char buf[kFixedBuffer];
  size_t len = formatFixed(buf, n.value, decimals);
  size_t width = static_cast<size_t>(kDefaultIntegerPlaces + (decimals > 0 ? decimals + 1 : 0));
  if (len < width) out.append(width - len, ' ');
  out.append(buf, len);
}

std::string str(const Number& n) {
  std::string out;
  appendStr(out, n);
  return out;
}

std::string str(const Number& n, int width) { return str(n, width, 0); }

std::string str(const Number& n, int width, int decimals) {
  decimals = clampDecimals(decimals);
  if (!n.text.empty() && decimals == n.decimals) return fitWidth(allTrimView(n.text), width);
  std::string body;
  appendFixed(body, n.value, decimals);
  return fitWidth(body, width);
}

std::string str(const Value& v) {
  auto n = numberOrSubstitute(v, "STR");
  return n ? str(*n) : std::string();
}

std::string str(const Value& v, int width) {
  auto n = numberOrSubstitute(v, "STR");
  return n ? str(*n, width) : std::string();
}

std::string str(const Value& v, int width, int decimals) {
  auto n = numberOrSubstitute(v, "STR");
  return n ? str(*n, width, decimals) : std::string();
}

namespace {

bool isDigitPlace(char c) { return c == '9' || c == '#'; }

// Fills the digit places of the picture's integer part, right to left; the
// sign takes the first free place left of the digits. False when the digits
// or the sign do not fit.
bool fillIntegerPart(std::string& out, size_t end, std::string_view digits, bool negative) {
  size_t left = digits.size();
  bool signPlaced = !negative;
  for (size_t i = end; i-- > 0;) {
    char c = out[i];
    if (!isDigitPlace(c) && c != ',') continue;
    if (left > 0 && isDigitPlace(c)) {
      out[i] = digits[--left];
    } else if (left > 0) {
      out[i] = ',';
    } else if (!signPlaced) {
      out[i] = '-';
      signPlaced = true;
    } else {
      out[i] = ' ';
    }
  }
  return left == 0 && signPlaced;
}

}  // namespace

std::string transform(const Number& n, std::string_view picture) {
  if (!picture.empty() && picture[0] == '@') {
    size_t blank = picture.find(' ');
    picture = blank == std::string_view::npos ? std::string_view() : picture.substr(blank + 1);
  }
  if (picture.empty()) return str(n);
  size_t point = picture.find('.');
  size_t intEnd = point == std::string_view::npos ? picture.size() : point;
  int decimals = 0;
  for (size_t i = intEnd; i < picture.size(); ++i) decimals += isDigitPlace(picture[i]) ? 1 : 0;

  std::string digits;
  appendFixed(digits, n.value, decimals);
  bool negative = !digits.empty() && digits[0] == '-';
  std::string_view body(digits);
  if (negative) body.remove_prefix(1);
  size_t dot = body.find('.');
  std::string_view intDigits = body.substr(0, dot);
  std::string_view fracDigits = dot == std::string_view::npos ? std::string_view() : body.substr(dot + 1);

  std::string out(picture);
  size_t f = 0;
  for (size_t i = intEnd + 1; i < out.size(); ++i)
    if (isDigitPlace(out[i])) out[i] = f < fracDigits.size() ? fracDigits[f++] : '0';
  bool hasIntPlaces = false;
  for (size_t i = 0; i < intEnd; ++i) hasIntPlaces = hasIntPlaces || isDigitPlace(out[i]);
  if (!hasIntPlaces && intDigits == "0") intDigits = {};
  if (!fillIntegerPart(out, intEnd, intDigits, negative)) return std::string(picture.size(), '*');
  return out;
}

std::string transform(const Value& v, std::string_view picture) {
  if (v.isNumber()) return transform(v.number(), picture);
  if (v.isText())
    return picture.find('!') != std::string_view::npos ? upper(v.text()) : v.text();
  return var2Char(v);
}

}  // namespace rt
