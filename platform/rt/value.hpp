// Value: the runtime's dynamically typed value, told apart by one type
// letter (VALTYPE): C character, N numeric, D date, L logical, M memo,
// A array, O object, B code block, U undefined (NIL).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace rt {

class Value;
using Array = std::vector<Value>;

// A number and the decimals it shows. A number read from a table keeps the
// exact text of its stored digits in `text` (already carrying the field's
// declared decimals), so an N(20,0) field renders every digit and stored text
// that is no number at all ("***", "1,200.00") renders as it was stored.
// `text` is empty for computed numbers, which render from `value`.
struct Number {
  double value = 0.0;
  int decimals = 0;
  std::string text;
};

// A calendar date as the eight characters DTOS gives: "YYYYMMDD" for a real
// date, eight blanks for the empty date, or the stored characters of a date
// field that holds no valid date (kept so that nothing is invented).
struct Date {
  std::array<char, 8> ymd{' ', ' ', ' ', ' ', ' ', ' ', ' ', ' '};

  static Date empty() { return Date{}; }
  static Date fromYmd(int year, int month, int day);  // no validation
  bool isEmpty() const;
  // True when `ymd` is a real calendar date.
  bool isValid() const;
  int year() const;   // 0 when not valid
  int month() const;  // 0 when not valid
  int day() const;    // 0 when not valid
  std::string dtos() const { return std::string(ymd.data(), ymd.size()); }
  bool operator==(const Date&) const = default;
};

// The bytes of a memo field: a character value of its own letter.
struct Memo {
  std::string bytes;
};

// Base of every object value (error objects, windows, sessions, ...).
class Object {
 public:
  virtual ~Object() = default;
  virtual std::string className() const = 0;
};

// A code block: takes its arguments, returns a Value.
using Block = std::function<Value(Array&)>;

class Value {
 public:
  Value() = default;  // NIL
  Value(std::string s) : v_(std::move(s)) {}
  Value(std::string_view s) : v_(std::string(s)) {}
  Value(const char* s) : v_(std::string(s)) {}
  Value(bool b) : v_(b) {}
  Value(int n) : v_(Number{static_cast<double>(n), 0, {}}) {}
  Value(long n) : v_(Number{static_cast<double>(n), 0, {}}) {}
  Value(long long n) : v_(Number{static_cast<double>(n), 0, {}}) {}
  Value(Number n) : v_(std::move(n)) {}
  Value(Date d) : v_(d) {}
  Value(Memo m) : v_(std::move(m)) {}
  Value(Array a) : v_(std::make_shared<Array>(std::move(a))) {}
  Value(std::shared_ptr<Array> a) : v_(std::move(a)) {}
  Value(std::shared_ptr<Object> o) : v_(std::move(o)) {}
  Value(Block b) : v_(std::make_shared<Block>(std::move(b))) {}
  // No other pointer makes a Value: it would silently become a logical.
  template <class T>
  Value(T*) = delete;
  Value(std::nullptr_t) = delete;
  // A computed number shown with `decimals` decimals.
  static Value number(double v, int decimals) { return Value(Number{v, decimals, {}}); }

  // The type letter: C N D L M A O B U.
  char type() const;
  bool isNil() const { return v_.index() == 0; }
  bool isString() const { return std::holds_alternative<std::string>(v_); }  // C only
  bool isText() const { return isString() || isMemo(); }                     // C or M
  bool isMemo() const { return std::holds_alternative<Memo>(v_); }
  bool isNumber() const { return std::holds_alternative<Number>(v_); }
  bool isDate() const { return std::holds_alternative<Date>(v_); }
  bool isLogical() const { return std::holds_alternative<bool>(v_); }
  bool isArray() const { return std::holds_alternative<std::shared_ptr<Array>>(v_); }
  bool isObject() const { return std::holds_alternative<std::shared_ptr<Object>>(v_); }
  bool isBlock() const { return std::holds_alternative<std::shared_ptr<Block>>(v_); }

  // Accessors. Each requires the matching type (checked by assert); the text
  // accessor serves C and M alike.
  const std::string& text() const;
  const Number& number() const;
  double num() const { return number().value; }
  const Date& date() const;
  bool logical() const;
  // The array, shared: copies of a Value share it, and a change through
  // one is seen through all; a const Value gives it only to read.
  Array& array();
  const Array& array() const;
  const std::shared_ptr<Object>& object() const;
  Value eval(Array args = {}) const;       // evaluates a block

 private:
  // In the order of the type letters U C N D L M A O B (checked by type()).
  using Storage = std::variant<std::monostate, std::string, Number, Date, bool, Memo,
                               std::shared_ptr<Array>, std::shared_ptr<Object>, std::shared_ptr<Block>>;

  Storage v_;
};

}  // namespace rt
