// The condition of --where as written: a small SQL condition read into a
// tree of predicates over fields and literals. Reading needs no table;
// what needs one (the fields' names and types) is where_eval's.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/rt/status.hpp"

namespace app::where {

// What a value is, for the types a comparison may join.
enum class ValueClass : std::uint8_t { Null, Text, Number, Date, Moment, Logical, Binary };

// A day and time as one ordered number: YYYYMMDD * 10^9 + milliseconds of
// the day; a date is its midnight, so dates and moments compare directly.
using MomentKey = std::int64_t;

// The key of "YYYY-MM-DD" or "YYYY-MM-DD HH:MM:SS[.f[f[f]]]" (a real day,
// years 1 to 9999); false for any other text.
bool momentKey(std::string_view text, MomentKey& key);
// The key of the day y-m-d; false when there is no such day.
bool dayKey(int y, int m, int d, MomentKey& key);

struct Literal {
  ValueClass kind = ValueClass::Null;  // never Binary
  std::string text;   // Text: the bytes; Number: the decimal as written (sign, digits, point)
  MomentKey key = 0;  // Date, Moment
  bool truth = false; // Logical
};

struct Operand {
  enum class Kind : std::uint8_t { Field, Deleted, Literal };
  Kind kind = Kind::Literal;
  std::string name;   // Field: as written, quotes removed
  Literal literal;
  std::size_t at = 0; // where it starts in the expression
};

enum class NodeKind : std::uint8_t { And, Or, Not, Compare, Between, In, Like, IsNull, Truth };
enum class CompareOp : std::uint8_t { Eq, Ne, Lt, Le, Gt, Ge };

// One predicate or connective. Compare: operands a op b; Between: a, low,
// high; In: a then the list; Like: a and the pattern (a text literal);
// IsNull: a; Truth: a logical operand standing alone; And, Or: two
// children; Not: one.
struct Node {
  NodeKind kind = NodeKind::Truth;
  CompareOp op = CompareOp::Eq;
  bool negated = false;   // NOT BETWEEN, NOT IN, NOT LIKE, IS NOT NULL
  bool caseless = false;  // ILIKE
  std::vector<Operand> operands;
  std::vector<Node> children;
};

// Reads `expression` into `tree`. A syntax error, or literals compared that
// cannot be (a number with a text), is InvalidArgument with three lines:
// "dbf2csv: --where: " and what is wrong, the expression, and a caret under
// the place.
rt::Status parseCondition(std::string_view expression, Node& tree);

// The text literals of `tree` (LIKE patterns too) with a byte above 127,
// which need the table's text converted to UTF-8 to mean anything: the
// usage error, in the three lines, for the first one; ok when there is none.
rt::Status checkAsciiLiterals(std::string_view expression, const Node& tree);

// The three lines of an error at byte `at` of `expression`.
std::string pointAt(std::string_view expression, std::size_t at, std::string_view message);

// The class each side of a comparison must share: Date and Moment join,
// NULL joins anything. Used for literals here and for fields once bound.
bool comparable(ValueClass a, ValueClass b);

// "a number", "a text", ... for messages.
std::string_view className(ValueClass c);

}  // namespace app::where
