#include "src/app/where_eval.hpp"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>
#include <optional>
#include <vector>

#include "platform/db/binary_fields.hpp"
#include "platform/db/engine.hpp"
#include "platform/db/stored_bytes.hpp"
#include "platform/db/workarea.hpp"
#include "platform/rt/strings.hpp"
#include "src/app/record_choice.hpp"
#include "src/app/typed_values.hpp"
#include "src/app/where_syntax.hpp"

namespace app {
namespace {

using namespace where;

enum class Tri : std::uint8_t { False, True, Unknown };

Tri negate(Tri t) { return t == Tri::Unknown ? t : t == Tri::True ? Tri::False : Tri::True; }
Tri truth(bool b) { return b ? Tri::True : Tri::False; }

// A decimal's parts without leading zeros of the whole or trailing zeros of
// the fraction, so that equal numbers have equal parts.
struct Decimal {
  bool negative = false;
  std::string_view whole, fraction;
};

Decimal decimalOf(std::string_view s) {
  Decimal d;
  if (!s.empty() && (s[0] == '-' || s[0] == '+')) {
    d.negative = s[0] == '-';
    s.remove_prefix(1);
  }
  const std::size_t point = s.find('.');
  d.whole = s.substr(0, point);
  d.fraction = point == std::string_view::npos ? std::string_view() : s.substr(point + 1);
  while (!d.whole.empty() && d.whole[0] == '0') d.whole.remove_prefix(1);
  while (!d.fraction.empty() && d.fraction.back() == '0') d.fraction.remove_suffix(1);
  if (d.whole.empty() && d.fraction.empty()) d.negative = false;
  return d;
}

// One value as a comparison reads it; kind Null for NULL. A number of at
// most 18 digits is also held as a whole number of units of 10^-scale, which
// compares without looking at its text again.
struct Value {
  ValueClass kind = ValueClass::Null;
  bool truth = false;     // Logical
  std::int8_t scale = -1; // Number: the digits after the point, -1 when too many digits
  std::string_view text;  // Text, Binary: the bytes; Number: the decimal text
  MomentKey key = 0;      // Date, Moment: the moment; Number: the units
};

Value valueOf(ValueClass kind, std::string_view text) {
  Value v;
  v.kind = kind;
  v.text = text;
  return v;
}

constexpr int kWholeDigits = 18;  // 10^18 fits an int64

constexpr std::array<std::int64_t, kWholeDigits + 1> kPowers = [] {
  std::array<std::int64_t, kWholeDigits + 1> p{};
  p[0] = 1;
  for (std::size_t i = 1; i < p.size(); ++i) p[i] = p[i - 1] * 10;
  return p;
}();

int ordered(std::int64_t x, std::int64_t y) { return x < y ? -1 : x > y ? 1 : 0; }

Value truthValue(bool truth) {
  Value v;
  v.kind = ValueClass::Logical;
  v.truth = truth;
  return v;
}

// A number's value from its decimal text (sign, digits, point): its units
// when the digits fit.
Value numberValue(std::string_view text) {
  Value v;
  v.kind = ValueClass::Number;
  v.text = text;
  const Decimal d = decimalOf(text);
  if (d.whole.size() + d.fraction.size() > kWholeDigits) return v;
  std::int64_t units = 0;
  for (const std::string_view part : {d.whole, d.fraction}) {
    for (const char c : part) units = units * 10 + (c - '0');
  }
  v.key = d.negative ? -units : units;
  v.scale = static_cast<std::int8_t>(d.fraction.size());
  return v;
}

// A number field's bytes read in one pass as units of 10^-decimals and the
// text between the blanks, when they are what the field's writer puts
// there: blanks, an optional minus, digits without a leading zero, a point
// and exactly `decimals` digits when it has decimals, not minus zero, at
// most 18 digits. False for anything else, which the slower readers take.
bool storedUnits(const std::uint8_t* p, std::size_t n, int decimals, std::int64_t& units, std::string_view& text) {
  std::size_t i = 0;
  while (i < n && p[i] == ' ') ++i;
  while (n > i && p[n - 1] == ' ') --n;
  const bool negative = i < n && p[i] == '-';
  const std::size_t start = i + (negative ? 1 : 0);
  const std::size_t point = decimals > 0 ? n - static_cast<std::size_t>(decimals) - 1 : n;
  if (point <= start || point > n || n - start - (decimals > 0 ? 1 : 0) > kWholeDigits) return false;
  if (decimals > 0 && p[point] != '.') return false;
  if (p[start] == '0' && point - start > 1) return false;
  units = 0;
  const auto digits = [&](std::size_t from, std::size_t to) {
    for (std::size_t k = from; k < to; ++k) {
      const unsigned digit = static_cast<unsigned>(p[k]) - '0';
      if (digit > 9) return false;
      units = units * 10 + digit;
    }
    return true;
  };
  if (!digits(start, point) || !digits(std::min(point + 1, n), n) || (negative && units == 0)) return false;
  units = negative ? -units : units;
  text = {reinterpret_cast<const char*>(p + i), n - i};
  return true;
}

// storedUnits() as a value.
bool storedNumber(const std::uint8_t* p, std::size_t n, int decimals, Value& v) {
  std::int64_t units = 0;
  std::string_view text;
  if (!storedUnits(p, n, decimals, units, text)) return false;
  v = Value{};
  v.kind = ValueClass::Number;
  v.text = text;
  v.key = units;
  v.scale = static_cast<std::int8_t>(decimals);
  return true;
}

int order(int c) { return c < 0 ? -1 : c > 0 ? 1 : 0; }

int compareDecimal(const Decimal& x, const Decimal& y) {
  if (x.negative != y.negative) return x.negative ? -1 : 1;
  int c = order(static_cast<int>(x.whole.size()) - static_cast<int>(y.whole.size()));
  if (c == 0) c = order(x.whole.compare(y.whole));
  // Without trailing zeros, of two fractions that agree as far as the
  // shorter goes the longer is the larger.
  if (c == 0) c = order(x.fraction.compare(y.fraction));
  return x.negative ? -c : c;
}

// Two numbers by their units where both have them, else by their texts.
// The units at one scale when the smaller scale's number stays below 10^18
// brought to it; otherwise the whole parts first (truncated, which orders
// as the numbers do), then the fractions at one scale.
int compareNumbers(const Value& a, const Value& b) {
  if (a.scale < 0 || b.scale < 0) return compareDecimal(decimalOf(a.text), decimalOf(b.text));
  const bool aSmaller = a.scale < b.scale;
  const std::int64_t raised = aSmaller ? a.key : b.key;
  const auto by = static_cast<std::size_t>(aSmaller ? b.scale - a.scale : a.scale - b.scale);
  if (raised < kPowers[kWholeDigits - by] && raised > -kPowers[kWholeDigits - by]) {
    return aSmaller ? ordered(a.key * kPowers[by], b.key) : ordered(a.key, b.key * kPowers[by]);
  }
  const std::int64_t unitA = kPowers[static_cast<std::size_t>(a.scale)];
  const std::int64_t unitB = kPowers[static_cast<std::size_t>(b.scale)];
  const std::int64_t wholeA = a.key / unitA, wholeB = b.key / unitB;
  if (wholeA != wholeB) return ordered(wholeA, wholeB);
  const int scale = std::max(a.scale, b.scale);
  return ordered((a.key % unitA) * kPowers[static_cast<std::size_t>(scale - a.scale)],
                 (b.key % unitB) * kPowers[static_cast<std::size_t>(scale - b.scale)]);
}

// The order of two non-NULL values of classes a comparison may join.
int compare(const Value& a, const Value& b) {
  switch (a.kind) {
    case ValueClass::Number: return compareNumbers(a, b);
    case ValueClass::Date:
    case ValueClass::Moment: return a.key < b.key ? -1 : a.key > b.key ? 1 : 0;
    case ValueClass::Logical: return static_cast<int>(a.truth) - static_cast<int>(b.truth);
    default: return order(a.text.compare(b.text));
  }
}

bool holdsOp(CompareOp op, int c) {
  switch (op) {
    case CompareOp::Eq: return c == 0;
    case CompareOp::Ne: return c != 0;
    case CompareOp::Lt: return c < 0;
    case CompareOp::Le: return c <= 0;
    case CompareOp::Gt: return c > 0;
    case CompareOp::Ge: return c >= 0;
  }
  return false;
}

// The bytes of the character that starts at s[i]: one, or in UTF-8 the
// lead byte and its continuation bytes.
std::size_t charLength(std::string_view s, std::size_t i, bool utf8) {
  std::size_t n = 1;
  while (utf8 && i + n < s.size() && (static_cast<unsigned char>(s[i + n]) & 0xC0) == 0x80) ++n;
  return n;
}

// SQL's LIKE without an escape character: % any run, _ one character.
bool like(std::string_view s, std::string_view p, bool caseless, bool utf8) {
  auto same = [caseless](char a, char b) { return a == b || (caseless && rt::lowerAscii(a) == rt::lowerAscii(b)); };
  std::size_t si = 0, pi = 0, starP = std::string_view::npos, starS = 0;
  while (si < s.size()) {
    if (pi < p.size() && p[pi] == '%') {
      starP = ++pi;
      starS = si;
    } else if (pi < p.size() && p[pi] == '_') {
      si += charLength(s, si, utf8);
      ++pi;
    } else if (pi < p.size() && same(p[pi], s[si])) {
      ++si;
      ++pi;
    } else if (starP == std::string_view::npos) {
      return false;
    } else {
      // The last % takes one more character and the rest is tried again.
      starS += charLength(s, starS, utf8);
      si = starS;
      pi = starP;
    }
  }
  while (pi < p.size() && p[pi] == '%') ++pi;
  return pi == p.size();
}

ValueClass classOf(ColumnType t) {
  switch (t) {
    case ColumnType::Text: return ValueClass::Text;
    case ColumnType::Date: return ValueClass::Date;
    case ColumnType::Timestamp: return ValueClass::Moment;
    case ColumnType::Boolean: return ValueClass::Logical;
    case ColumnType::Binary: return ValueClass::Binary;
    default: return ValueClass::Number;
  }
}

std::string_view fieldClassName(ValueClass c) {
  switch (c) {
    case ValueClass::Text: return "a text field";
    case ValueClass::Number: return "a number field";
    case ValueClass::Date: return "a date field";
    case ValueClass::Moment: return "a timestamp field";
    case ValueClass::Logical: return "a logical field";
    default: return "a binary field";
  }
}

// A literal as the user would write it again.
std::string shown(const Literal& l) {
  std::string quoted = "'";
  for (const char c : l.text) quoted += c == '\'' ? std::string("''") : std::string(1, c);
  quoted += "'";
  switch (l.kind) {
    case ValueClass::Text: return quoted;
    case ValueClass::Date: return "DATE " + quoted;
    case ValueClass::Moment: return "TIMESTAMP " + quoted;
    case ValueClass::Logical: return l.truth ? "TRUE" : "FALSE";
    case ValueClass::Null: return "NULL";
    default: return l.text;
  }
}

// A comparison of a field with a literal that can skip the common order of
// two values: a number field's units against the literal's at one scale, a
// date's day or a text's bytes against the literal's.
enum class Quick : std::uint8_t { None, Number, Date, Text };

// What a quick test finds in a field's bytes: a value it reads, a NULL, or
// bytes for the common way.
enum class Plain : std::uint8_t { Value, Null, Other };

// A field the condition names, with what it read from the current record.
struct Bound {
  int index = 0;  // in the record view's fields
  int cell = 0;   // in the cells of the reader of the named fields
  db::StoredField stored;
  std::string name;
  ValueClass kind = ValueClass::Text;
  std::uint64_t readAt = 0;  // the record its value belongs to
  Value value;
  std::array<char, 16> digits{};  // an integer's text
  // What a quick test read of a number or date field, for the record quickAt.
  std::uint64_t quickAt = 0;
  Plain plain = Plain::Other;
  MomentKey plainKey = 0;  // Plain::Value: the number's units or the day
};

// An operand of the bound tree: a field, the deletion mark, or a literal.
struct Term {
  static constexpr int kLiteral = -1, kDeleted = -2;
  int field = kLiteral;
  Value literal;
};

struct Pred {
  NodeKind kind = NodeKind::Truth;
  CompareOp op = CompareOp::Eq;
  bool negated = false, caseless = false;
  std::vector<Term> terms;
  std::vector<Pred> children;
  Quick quick = Quick::None;
  std::uint8_t accepts = 0;  // Quick: bit 0, 1, 2 for less, equal, greater
  std::int64_t raise = 1;    // Number: the field's units brought to the literal's scale
  MomentKey key = 0;         // Number: the literal's units at that scale; Date: its day
  std::string_view text;     // Text: the literal
};

// A date field's eight digits as a day key; false for the empty date, an
// impossible date (both NULL) and anything else.
bool storedDay(const std::uint8_t* p, MomentKey& key) {
  int d[8];
  for (int i = 0; i < 8; ++i) {
    d[i] = p[i] - '0';
    if (d[i] < 0 || d[i] > 9) return false;
  }
  return dayKey(((d[0] * 10 + d[1]) * 10 + d[2]) * 10 + d[3], d[4] * 10 + d[5], d[6] * 10 + d[7], key);
}

class WhereCondition final : public RecordCondition {
 public:
  WhereCondition(std::string_view expression, const LineFormat& format) : expression_(expression), format_(format) {
    // Accepted on the command line already: this parse cannot fail.
    (void)parseCondition(expression_, tree_);
    utf8_ = format_.rule == TextRule::Table || format_.rule == TextRule::Convert;
    for (int b = 1; b < 256; ++b) {
      const auto i = static_cast<std::size_t>(b);
      kept_[i] = format_.rule != TextRule::Convert && format_.names.length[i] == 1 &&
                 static_cast<unsigned char>(format_.names.bytes[i][0]) == b;
    }
  }

  rt::Status bind(const db::Table& table) override {
    table_ = &table;
    fields_.clear();
    // The reader reads the table of the current work area: the one to bind.
    if (db::currentTable() == &table) reader_ = TypedReader::forCurrentTable(format_);
    const std::optional<db::RecordView> view = table.recordView();
    if (!reader_ || !view) return rt::Status::invalidArgument("--where: the values of this table cannot be read.");
    if (rt::Status s = compile(tree_, root_, *view); !s.isOk()) return s;
    // A value the byte readers leave to the typed reader costs the reading
    // of the fields the condition names, not of the whole record.
    FieldChoice named;
    for (Bound& f : fields_) {
      f.cell = static_cast<int>(named.fields.size());
      named.fields.push_back(f.index + 1);
    }
    reader_ = TypedReader::forCurrentTable(format_, &named);
    if (!reader_) return rt::Status::invalidArgument("--where: the values of this table cannot be read.");
    return rt::Status::ok();
  }

  bool holds() override {
    ++record_;
    cellsRead_ = false;
    bytes_ = table_->recordView()->bytes;
    return eval(root_) == Tri::True;
  }

 private:
  rt::Status compile(const Node& n, Pred& p, const db::RecordView& view) {
    p = Pred{};
    p.kind = n.kind;
    p.op = n.op;
    p.negated = n.negated;
    p.caseless = n.caseless;
    for (const Node& c : n.children) {
      p.children.emplace_back();
      if (rt::Status s = compile(c, p.children.back(), view); !s.isOk()) return s;
      // A chain of ANDs (or of ORs) is one node with every operand: one
      // step per operand when the records are read.
      Pred& last = p.children.back();
      if ((p.kind == NodeKind::And || p.kind == NodeKind::Or) && last.kind == p.kind) {
        std::vector<Pred> spliced = std::move(last.children);
        p.children.pop_back();
        for (Pred& s : spliced) p.children.push_back(std::move(s));
      }
    }
    for (const Operand& o : n.operands) {
      p.terms.emplace_back();
      if (rt::Status s = term(o, p.terms.back(), view); !s.isOk()) return s;
    }
    if (rt::Status s = check(n, p); !s.isOk()) return s;
    quicken(p);
    return rt::Status::ok();
  }

  // Gives a comparison of a field of a plain kind with a literal, or a test
  // of a number or date field for NULL, its quick reading: straight from
  // the field's bytes, which the common way reads only when they are out
  // of the ordinary. A field with a null flag goes the common way.
  void quicken(Pred& p) const {
    const bool compare = p.kind == NodeKind::Compare && p.terms[1].field == Term::kLiteral;
    if ((!compare && p.kind != NodeKind::IsNull) || p.terms[0].field < 0) return;
    const Bound& f = fields_[static_cast<std::size_t>(p.terms[0].field)];
    if (f.stored.nullable) return;
    const Value literal = compare ? p.terms[1].literal : Value{};
    for (int c = -1; c <= 1; ++c) p.accepts |= compare && holdsOp(p.op, c) ? 1u << (c + 1) : 0u;
    if (f.stored.kind == db::FieldKind::Number && f.kind == ValueClass::Number) {
      if (compare) {
        // Both sides' units at the larger scale, where both must fit.
        if (literal.scale < 0) return;
        const int scale = std::max<int>(literal.scale, f.stored.decimals);
        const auto fieldDigits = static_cast<std::size_t>(std::min<std::uint32_t>(f.stored.length, kWholeDigits));
        const auto byField = static_cast<std::size_t>(scale - f.stored.decimals);
        const auto byLiteral = static_cast<std::size_t>(scale - literal.scale);
        if (fieldDigits + byField > kWholeDigits || literal.key >= kPowers[kWholeDigits - byLiteral] ||
            literal.key <= -kPowers[kWholeDigits - byLiteral]) {
          return;
        }
        p.raise = kPowers[byField];
        p.key = literal.key * kPowers[byLiteral];
      }
      p.quick = Quick::Number;
    } else if (f.stored.kind == db::FieldKind::Date && f.stored.length == 8 && f.kind == ValueClass::Date) {
      if (compare && literal.kind != ValueClass::Date) return;
      p.key = literal.key;
      p.quick = Quick::Date;
    } else if (compare && f.stored.kind == db::FieldKind::Character && f.kind == ValueClass::Text &&
               literal.kind == ValueClass::Text) {
      p.text = literal.text;
      p.quick = Quick::Text;
    }
  }

  Tri quickly(const Pred& p) {
    Bound& f = fields_[static_cast<std::size_t>(p.terms[0].field)];
    const std::uint8_t* b = bytes_ + f.stored.offset;
    if (p.quick == Quick::Text) {
      const std::size_t n = db::stored::trimmedLength(b, f.stored.length);
      for (std::size_t i = 0; i < n; ++i) {
        if (!kept_[b[i]]) return common(p);
      }
      return accepts(p, order(std::string_view(reinterpret_cast<const char*>(b), n).compare(p.text)));
    }
    if (f.quickAt != record_) {
      f.quickAt = record_;
      f.plain = p.quick == Quick::Number ? plainNumber(f, b) : plainDay(f, b);
    }
    switch (f.plain) {
      case Plain::Value:
        if (p.kind == NodeKind::IsNull) return truth(p.negated);
        return accepts(p, ordered(p.quick == Quick::Number ? f.plainKey * p.raise : f.plainKey, p.key));
      case Plain::Null: return p.kind == NodeKind::IsNull ? truth(!p.negated) : Tri::Unknown;
      case Plain::Other: break;
    }
    return common(p);
  }

  static Tri accepts(const Pred& p, int order) { return truth((p.accepts >> (order + 1)) & 1u); }

  static Plain plainNumber(Bound& f, const std::uint8_t* b) {
    std::string_view text;
    if (storedUnits(b, f.stored.length, f.stored.decimals, f.plainKey, text)) return Plain::Value;
    return std::all_of(b, b + f.stored.length, [](std::uint8_t c) { return c == ' '; }) ? Plain::Null : Plain::Other;
  }

  // The empty date and an impossible one are both NULL.
  static Plain plainDay(Bound& f, const std::uint8_t* b) {
    if (storedDay(b, f.plainKey)) return Plain::Value;
    std::string_view digits;
    return db::stored::plainDate(b, 8, digits) ? Plain::Null : Plain::Other;
  }

  rt::Status term(const Operand& o, Term& t, const db::RecordView& view) {
    if (o.kind == Operand::Kind::Deleted) {
      t.field = Term::kDeleted;
      return rt::Status::ok();
    }
    if (o.kind == Operand::Kind::Literal) {
      if (o.literal.kind == ValueClass::Number) {
        t.literal = numberValue(o.literal.text);
      } else {
        t.literal = valueOf(o.literal.kind, o.literal.text);
        t.literal.key = o.literal.key;
        t.literal.truth = o.literal.truth;
      }
      return rt::Status::ok();
    }
    const std::vector<Column>& columns = reader_->columns();
    for (std::size_t i = 0; i < columns.size(); ++i) {
      if (rt::lower(columns[i].name) != rt::lower(o.name)) continue;
      for (std::size_t k = 0; k < fields_.size(); ++k) {
        if (fields_[k].index == static_cast<int>(i)) t.field = static_cast<int>(k);
      }
      if (t.field == Term::kLiteral) {
        t.field = static_cast<int>(fields_.size());
        Bound& f = fields_.emplace_back();
        f.index = static_cast<int>(i);
        f.stored = view.fields[i];
        f.name = columns[i].name;
        f.kind = classOf(columns[i].type);
      }
      return rt::Status::ok();
    }
    return rt::Status::invalidArgument("--where: the table has no field " + o.name + ".");
  }

  ValueClass termClass(const Term& t) const {
    if (t.field == Term::kDeleted) return ValueClass::Logical;
    return t.field == Term::kLiteral ? t.literal.kind : fields_[static_cast<std::size_t>(t.field)].kind;
  }

  std::string describe(const Node& n, std::size_t k, const Term& t) const {
    if (t.field == Term::kLiteral) return shown(n.operands[k].literal);
    const std::string name = t.field == Term::kDeleted ? "_DELETED" : fields_[static_cast<std::size_t>(t.field)].name;
    return name + " (" + std::string(t.field == Term::kDeleted ? "a logical field" : fieldClassName(termClass(t))) + ")";
  }

  // The types the node joins: the first operand with each of the others,
  // a text for LIKE, a logical standing alone.
  rt::Status check(const Node& n, const Pred& p) const {
    const ValueClass first = p.terms.empty() ? ValueClass::Null : termClass(p.terms[0]);
    if (n.kind == NodeKind::Truth && first != ValueClass::Logical && first != ValueClass::Null) {
      return rt::Status::invalidArgument("--where: " + describe(n, 0, p.terms[0]) +
                                         " is no condition by itself: compare it with a value.");
    }
    if (n.kind == NodeKind::Like && first != ValueClass::Text && first != ValueClass::Null) {
      return rt::Status::invalidArgument("--where: " + describe(n, 0, p.terms[0]) + ": " +
                                         (n.caseless ? "ILIKE" : "LIKE") + " needs a text.");
    }
    if (n.kind != NodeKind::Compare && n.kind != NodeKind::Between && n.kind != NodeKind::In) return rt::Status::ok();
    for (std::size_t k = 1; k < p.terms.size(); ++k) {
      if (comparable(first, termClass(p.terms[k]))) continue;
      return rt::Status::invalidArgument("--where: " + describe(n, 0, p.terms[0]) + " cannot be compared with " +
                                         describe(n, k, p.terms[k]) + ".");
    }
    return rt::Status::ok();
  }

  Tri eval(const Pred& p) { return p.quick != Quick::None ? quickly(p) : common(p); }

  Tri common(const Pred& p) {
    switch (p.kind) {
      case NodeKind::And:
      case NodeKind::Or: {
        // SQL's AND: false wins over unknown; OR: true wins over unknown.
        const Tri decisive = p.kind == NodeKind::And ? Tri::False : Tri::True;
        Tri all = negate(decisive);
        for (const Pred& c : p.children) {
          const Tri t = c.quick != Quick::None ? quickly(c) : eval(c);
          if (t == decisive) return t;
          if (t == Tri::Unknown) all = t;
        }
        return all;
      }
      case NodeKind::Not: return negate(eval(p.children[0]));
      case NodeKind::Truth: {
        const Value& v = value(p.terms[0]);
        return v.kind == ValueClass::Null ? Tri::Unknown : truth(v.truth);
      }
      case NodeKind::IsNull: return truth((value(p.terms[0]).kind == ValueClass::Null) != p.negated);
      case NodeKind::Compare: return comparison(value(p.terms[0]), value(p.terms[1]), p.op);
      case NodeKind::Between: {
        const Value& v = value(p.terms[0]);
        const Tri low = comparison(v, value(p.terms[1]), CompareOp::Ge);
        const Tri both = low == Tri::False ? low : [&] {
          const Tri high = comparison(v, value(p.terms[2]), CompareOp::Le);
          return high == Tri::False || low == Tri::True ? high : Tri::Unknown;
        }();
        return p.negated ? negate(both) : both;
      }
      case NodeKind::In: {
        const Value& v = value(p.terms[0]);
        Tri any = Tri::False;
        for (std::size_t k = 1; k < p.terms.size() && any != Tri::True; ++k) {
          const Tri eq = comparison(v, value(p.terms[k]), CompareOp::Eq);
          if (eq != Tri::False) any = eq;
        }
        return p.negated ? negate(any) : any;
      }
      case NodeKind::Like: {
        const Value& v = value(p.terms[0]);
        if (v.kind == ValueClass::Null) return Tri::Unknown;
        return truth(like(v.text, p.terms[1].literal.text, p.caseless, utf8_) != p.negated);
      }
    }
    return Tri::Unknown;
  }

  static Tri comparison(const Value& a, const Value& b, CompareOp op) {
    if (a.kind == ValueClass::Null || b.kind == ValueClass::Null) return Tri::Unknown;
    return truth(holdsOp(op, compare(a, b)));
  }

  const Value& value(const Term& t) {
    if (t.field == Term::kLiteral) return t.literal;
    if (t.field == Term::kDeleted) {
      deleted_ = truthValue(bytes_[0] == '*');
      return deleted_;
    }
    Bound& f = fields_[static_cast<std::size_t>(t.field)];
    if (f.readAt != record_) {
      f.readAt = record_;
      f.value = f.stored.nullable && table_->isNull(f.index + 1) ? Value{} : read(f, bytes_ + f.stored.offset);
    }
    return f.value;
  }

  // The typed value of `f` from its bytes at `p` where that is quick and
  // plain (most numbers, dates, logicals, text that needs no decoding);
  // anything else as the typed reader gives it.
  Value read(Bound& f, const std::uint8_t* p) {
    const std::uint32_t length = f.stored.length;
    std::string_view text;
    switch (f.stored.kind) {
      case db::FieldKind::Character: {
        if (f.kind != ValueClass::Text) break;
        const std::size_t n = db::stored::trimmedLength(p, length);
        std::size_t i = 0;
        while (i < n && kept_[p[i]]) ++i;
        if (i == n) return valueOf(ValueClass::Text, {reinterpret_cast<const char*>(p), n});
        break;
      }
      case db::FieldKind::Number:
        if (Value v; storedNumber(p, length, f.stored.decimals, v)) return v;
        if (db::stored::plainNumber(p, length, f.stored.decimals, text)) return numberValue(text);
        if (std::all_of(p, p + length, [](std::uint8_t b) { return b == ' '; })) return Value{};
        break;
      case db::FieldKind::Date: {
        if (!db::stored::plainDate(p, length, text)) break;
        // An impossible date is NULL, as the typed outputs write it.
        Value v;
        v.kind = ValueClass::Date;
        return !text.empty() && storedDay(reinterpret_cast<const std::uint8_t*>(text.data()), v.key) ? v : Value{};
      }
      case db::FieldKind::Logical: return logical(length > 0 ? p[0] : ' ');
      case db::FieldKind::VfpInteger:
      case db::FieldKind::Level7Integer: {
        const std::int32_t v = f.stored.kind == db::FieldKind::VfpInteger ? db::vfpInteger(p) : db::level7Integer(p);
        char* end = std::to_chars(f.digits.data(), f.digits.data() + f.digits.size(), v).ptr;
        return numberValue({f.digits.data(), static_cast<std::size_t>(end - f.digits.data())});
      }
      default: break;
    }
    return typed(f);
  }

  static Value logical(std::uint8_t first) {
    switch (first) {
      case 'T': case 't': case 'Y': case 'y': return truthValue(true);
      case 'F': case 'f': case 'N': case 'n': return truthValue(false);
      default: return Value{};
    }
  }

  Value typed(const Bound& f) {
    if (!cellsRead_) {
      cells_ = reader_->read();
      cellsRead_ = true;
    }
    const Cell& c = cells_[static_cast<std::size_t>(f.cell)];
    const std::string_view text = reader_->text(c);
    Value v = valueOf(f.kind, text);
    switch (c.kind) {
      case CellKind::Null: return Value{};
      case CellKind::Date:
      case CellKind::Moment: return momentKey(text, v.key) ? v : Value{};
      case CellKind::Logical: v.truth = text == "true"; return v;
      case CellKind::Number: return numberValue(text);
      default: return v;
    }
  }

  std::string expression_;
  LineFormat format_;
  Node tree_;
  Pred root_;
  bool utf8_ = false;
  std::array<bool, 256> kept_{};  // bytes that are themselves in the typed text
  const db::Table* table_ = nullptr;
  std::optional<TypedReader> reader_;
  std::vector<Bound> fields_;
  std::uint64_t record_ = 0;
  const std::uint8_t* bytes_ = nullptr;
  bool cellsRead_ = false;
  std::span<const Cell> cells_;
  Value deleted_;
};

}  // namespace

std::unique_ptr<RecordCondition> whereCondition(std::string_view expression, const LineFormat& format) {
  return std::make_unique<WhereCondition>(expression, format);
}

}  // namespace app
