#include "platform/rt/numbers.hpp"

#include <cfloat>
#include <cmath>
#include <cstdio>
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

void padLeftFrom(std::string& out, size_t mark, size_t width) {
  size_t len = out.size() - mark;
  if (len < width) out.insert(mark, width - len, ' ');
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

void appendFixed(std::string& out, double value, int decimals) {
  decimals = clampDecimals(decimals);
  if (!std::isfinite(value)) {
    out.append("***");
    return;
  }
  double scale = std::pow(10.0, decimals);
  double scaled = value * scale;
  double shown = value;
  // Round half away from zero on the decimal digits the reader sees: the
  // nudge of a few units in the last place turns 1.005 (stored as
  // 1.00499999...) into 1.01, as a person reading the number expects.
  if (std::fabs(scaled) < 4.5e15) {
    double rounded = std::round(scaled * (1.0 + 4 * DBL_EPSILON));
    shown = rounded == 0.0 ? 0.0 : rounded / scale;
  }
  char buf[400];
  int len = std::snprintf(buf, sizeof buf, "%.*f", decimals, shown);
  if (len > 0) out.append(buf, static_cast<size_t>(len < static_cast<int>(sizeof buf) ? len : sizeof buf - 1));
}

void appendStr(std::string& out, const Number& n) {
  if (!n.text.empty()) {
    out.append(n.text);
    return;
  }
  int decimals = clampDecimals(n.decimals);
  size_t mark = out.size();
  appendFixed(out, n.value, decimals);
  padLeftFrom(out, mark, static_cast<size_t>(kDefaultIntegerPlaces + (decimals > 0 ? decimals + 1 : 0)));
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
