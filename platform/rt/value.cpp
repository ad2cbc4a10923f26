#include "platform/rt/value.hpp"

#include <cassert>

namespace rt {

namespace {

int digitsAt(const std::array<char, 8>& ymd, int from, int count) {
  int n = 0;
  for (int i = from; i < from + count; ++i) {
    char c = ymd[static_cast<size_t>(i)];
    if (c < '0' || c > '9') return -1;
    n = n * 10 + (c - '0');
  }
  return n;
}

bool leapYear(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

}  // namespace

Date Date::fromYmd(int year, int month, int day) {
  Date d;
  int parts[3] = {year, month, day};
  int widths[3] = {4, 2, 2};
  size_t pos = 0;
  for (int p = 0; p < 3; ++p) {
    int v = parts[p];
    for (int i = widths[p] - 1; i >= 0; --i) {
      d.ymd[pos + static_cast<size_t>(i)] = static_cast<char>('0' + (v % 10));
      v /= 10;
    }
    pos += static_cast<size_t>(widths[p]);
  }
  return d;
}

bool Date::isEmpty() const {
  for (char c : ymd)
    if (c != ' ') return false;
  return true;
}

bool Date::isValid() const {
  int y = digitsAt(ymd, 0, 4), m = digitsAt(ymd, 4, 2), d = digitsAt(ymd, 6, 2);
  if (y < 1 || m < 1 || m > 12 || d < 1) return false;
  static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  int last = kDays[m - 1] + (m == 2 && leapYear(y) ? 1 : 0);
  return d <= last;
}

int Date::year() const { return isValid() ? digitsAt(ymd, 0, 4) : 0; }
int Date::month() const { return isValid() ? digitsAt(ymd, 4, 2) : 0; }
int Date::day() const { return isValid() ? digitsAt(ymd, 6, 2) : 0; }

namespace {

// The type letter of each alternative of a Value.
template <class T> struct TypeLetter;
template <> struct TypeLetter<std::monostate> { static constexpr char value = 'U'; };
template <> struct TypeLetter<std::string> { static constexpr char value = 'C'; };
template <> struct TypeLetter<Number> { static constexpr char value = 'N'; };
template <> struct TypeLetter<Date> { static constexpr char value = 'D'; };
template <> struct TypeLetter<bool> { static constexpr char value = 'L'; };
template <> struct TypeLetter<Memo> { static constexpr char value = 'M'; };
template <> struct TypeLetter<std::shared_ptr<Array>> { static constexpr char value = 'A'; };
template <> struct TypeLetter<std::shared_ptr<Object>> { static constexpr char value = 'O'; };
template <> struct TypeLetter<std::shared_ptr<Block>> { static constexpr char value = 'B'; };

// The letters in the order of the variant's alternatives, so that the table
// follows the variant whatever order it is given.
template <class Variant, std::size_t... I>
constexpr std::array<char, sizeof...(I)> lettersOf(std::index_sequence<I...>) {
  return {TypeLetter<std::variant_alternative_t<I, Variant>>::value...};
}

}  // namespace

char Value::type() const {
  static constexpr auto kLetters =
      lettersOf<Storage>(std::make_index_sequence<std::variant_size_v<Storage>>{});
  static_assert(std::string_view(kLetters.data(), kLetters.size()) == "UCNDLMAOB",
                "the variant's alternatives follow the order of the type letters");
  return kLetters[v_.index()];
}

const std::string& Value::text() const {
  assert(isText());
  if (const auto* m = std::get_if<Memo>(&v_)) return m->bytes;
  return std::get<std::string>(v_);
}

const Number& Value::number() const {
  assert(isNumber());
  return std::get<Number>(v_);
}

const Date& Value::date() const {
  assert(isDate());
  return std::get<Date>(v_);
}

bool Value::logical() const {
  assert(isLogical());
  return std::get<bool>(v_);
}

Array& Value::array() {
  assert(isArray());
  return *std::get<std::shared_ptr<Array>>(v_);
}

const Array& Value::array() const {
  assert(isArray());
  return *std::get<std::shared_ptr<Array>>(v_);
}

const std::shared_ptr<Object>& Value::object() const {
  assert(isObject());
  return std::get<std::shared_ptr<Object>>(v_);
}

Value Value::eval(Array args) const {
  assert(isBlock());
  return (*std::get<std::shared_ptr<Block>>(v_))(args);
}

}  // namespace rt
