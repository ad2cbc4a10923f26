#include "src/app/where_syntax.hpp"

#include <array>
#include <optional>

#include "platform/rt/strings.hpp"

namespace app::where {
namespace {

enum class Tok : std::uint8_t { End, Word, Name, Text, Number, Symbol };

struct Token {
  Tok kind = Tok::End;
  std::string text;  // Word: upper-cased; Name, Text: quotes removed; Symbol: the operator
  std::size_t at = 0;
};

bool isLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

// An error at a place of the expression: the parse stops at the first.
struct Failure {
  std::size_t at;
  std::string message;
};

class Lexer {
 public:
  explicit Lexer(std::string_view s) : s_(s) {}

  std::optional<Failure> next(Token& t) {
    while (i_ < s_.size() && (s_[i_] == ' ' || s_[i_] == '\t' || s_[i_] == '\r' || s_[i_] == '\n')) ++i_;
    t = Token{Tok::End, "", i_};
    if (i_ == s_.size()) return std::nullopt;
    const char c = s_[i_];
    if (isLetter(c)) {
      const std::size_t begin = i_;
      while (i_ < s_.size() && (isLetter(s_[i_]) || isDigit(s_[i_]))) ++i_;
      t.kind = Tok::Word;
      t.text = std::string(s_.substr(begin, i_ - begin));
      return std::nullopt;
    }
    if (c == '\'' || c == '"') return quoted(t, c);
    if (isDigit(c) || c == '.' || c == '-' || c == '+') return number(t);
    static constexpr std::array<std::string_view, 10> kSymbols = {"<>", "!=", "<=", ">=", "=", "<", ">", "(", ")", ","};
    for (const std::string_view sym : kSymbols) {
      if (s_.substr(i_).starts_with(sym)) {
        t.kind = Tok::Symbol;
        t.text = std::string(sym);
        i_ += sym.size();
        return std::nullopt;
      }
    }
    return Failure{i_, "unexpected character"};
  }

 private:
  // 'text' or "name": a quote doubled inside stands for itself.
  std::optional<Failure> quoted(Token& t, char quote) {
    t.kind = quote == '\'' ? Tok::Text : Tok::Name;
    for (std::size_t j = i_ + 1; j < s_.size(); ++j) {
      if (s_[j] != quote) {
        t.text += s_[j];
      } else if (j + 1 < s_.size() && s_[j + 1] == quote) {
        t.text += quote;
        ++j;
      } else {
        i_ = j + 1;
        if (t.kind == Tok::Name && t.text.empty()) return Failure{t.at, "an empty field name"};
        return std::nullopt;
      }
    }
    return Failure{t.at, quote == '\'' ? "a text without its closing quote" : "a name without its closing quote"};
  }

  // An optional sign, digits with at most one point, an optional exponent;
  // kept as the plain decimal it stands for.
  std::optional<Failure> number(Token& t) {
    std::size_t j = i_;
    std::string sign;
    if (s_[j] == '-' || s_[j] == '+') sign = s_[j++] == '-' ? "-" : "";
    std::string whole, fraction;
    while (j < s_.size() && isDigit(s_[j])) whole += s_[j++];
    if (j < s_.size() && s_[j] == '.') {
      ++j;
      while (j < s_.size() && isDigit(s_[j])) fraction += s_[j++];
    }
    if (whole.empty() && fraction.empty()) return Failure{i_, "a number expected"};
    if (j < s_.size() && (s_[j] == 'e' || s_[j] == 'E')) {
      std::size_t k = j + 1;
      const bool negative = k < s_.size() && s_[k] == '-';
      if (k < s_.size() && (s_[k] == '-' || s_[k] == '+')) ++k;
      int exponent = 0;
      if (k == s_.size() || !isDigit(s_[k])) return Failure{i_, "a number with an incomplete exponent"};
      for (; k < s_.size() && isDigit(s_[k]); ++k) {
        exponent = exponent * 10 + (s_[k] - '0');
        // A longer number is no value any field holds.
        if (exponent > 400) return Failure{i_, "a number out of range"};
      }
      shift(whole, fraction, negative ? -exponent : exponent);
      j = k;
    }
    if (j < s_.size() && (isLetter(s_[j]) || s_[j] == '.')) return Failure{j, "unexpected character"};
    t.kind = Tok::Number;
    t.text = sign + (whole.empty() ? "0" : whole) + (fraction.empty() ? "" : "." + fraction);
    i_ = j;
    return std::nullopt;
  }

  static void shift(std::string& whole, std::string& fraction, int by) {
    for (; by > 0; --by) {
      whole += fraction.empty() ? '0' : fraction[0];
      if (!fraction.empty()) fraction.erase(0, 1);
    }
    for (; by < 0; ++by) {
      fraction.insert(fraction.begin(), whole.empty() ? '0' : whole.back());
      if (!whole.empty()) whole.pop_back();
    }
  }

  std::string_view s_;
  std::size_t i_ = 0;
};

// The grammar, loosest first:
//   or    := and {OR and}
//   and   := not {AND not}
//   not   := NOT not | '(' or ')' | operand [tail]
//   tail  := op operand | [NOT] BETWEEN operand AND operand
//          | [NOT] IN '(' operand {',' operand} ')' | [NOT] (LIKE|ILIKE) 'text'
//          | IS [NOT] NULL
class Parser {
 public:
  explicit Parser(std::string_view s) : lexer_(s) {}

  std::optional<Failure> parse(Node& tree) {
    if (auto f = advance()) return f;
    if (tok_.kind == Tok::End) return Failure{tok_.at, "a condition expected"};
    if (auto f = orExpr(tree)) return f;
    if (tok_.kind != Tok::End) return Failure{tok_.at, "AND or OR expected"};
    return std::nullopt;
  }

 private:
  std::optional<Failure> advance() { return lexer_.next(tok_); }

  bool isWord(std::string_view w) const { return tok_.kind == Tok::Word && rt::upper(tok_.text) == w; }
  bool isSymbol(std::string_view s) const { return tok_.kind == Tok::Symbol && tok_.text == s; }

  std::optional<Failure> expectWord(std::string_view w, std::string_view what) {
    if (!isWord(w)) return Failure{tok_.at, std::string(what)};
    return advance();
  }

  std::optional<Failure> binary(Node& tree, NodeKind kind, std::string_view word,
                                std::optional<Failure> (Parser::*part)(Node&)) {
    if (auto f = (this->*part)(tree)) return f;
    while (isWord(word)) {
      if (auto f = advance()) return f;
      Node right;
      if (auto f = (this->*part)(right)) return f;
      Node both;
      both.kind = kind;
      both.children.push_back(std::move(tree));
      both.children.push_back(std::move(right));
      tree = std::move(both);
    }
    return std::nullopt;
  }

  std::optional<Failure> orExpr(Node& tree) { return binary(tree, NodeKind::Or, "OR", &Parser::andExpr); }
  std::optional<Failure> andExpr(Node& tree) { return binary(tree, NodeKind::And, "AND", &Parser::notExpr); }

  std::optional<Failure> notExpr(Node& tree) {
    if (isWord("NOT")) {
      if (auto f = advance()) return f;
      tree = Node{};
      tree.kind = NodeKind::Not;
      tree.children.emplace_back();
      return notExpr(tree.children[0]);
    }
    if (isSymbol("(")) {
      if (auto f = advance()) return f;
      if (auto f = orExpr(tree)) return f;
      if (!isSymbol(")")) return Failure{tok_.at, "a closing parenthesis expected"};
      return advance();
    }
    tree = Node{};
    tree.operands.emplace_back();
    if (auto f = operand(tree.operands[0])) return f;
    return tail(tree);
  }

  std::optional<Failure> tail(Node& tree) {
    static constexpr std::array<std::pair<std::string_view, CompareOp>, 7> kOps = {{
        {"=", CompareOp::Eq}, {"<>", CompareOp::Ne}, {"!=", CompareOp::Ne}, {"<", CompareOp::Lt},
        {"<=", CompareOp::Le}, {">", CompareOp::Gt}, {">=", CompareOp::Ge}}};
    for (const auto& [symbol, op] : kOps) {
      if (!isSymbol(symbol)) continue;
      tree.kind = NodeKind::Compare;
      tree.op = op;
      return operands(tree, 1);
    }
    if (isWord("IS")) {
      if (auto f = advance()) return f;
      tree.kind = NodeKind::IsNull;
      if (isWord("NOT")) {
        tree.negated = true;
        if (auto f = advance()) return f;
      }
      return expectWord("NULL", "NULL or NOT NULL expected after IS");
    }
    const std::size_t notAt = tok_.at;
    if (isWord("NOT")) {
      tree.negated = true;
      if (auto f = advance()) return f;
    }
    if (isWord("BETWEEN")) {
      tree.kind = NodeKind::Between;
      if (auto f = operands(tree, 1)) return f;
      if (auto f = expectWord("AND", "AND expected in BETWEEN ... AND ...")) return f;
      tree.operands.emplace_back();
      return operand(tree.operands.back());
    }
    if (isWord("IN")) return list(tree);
    if (isWord("LIKE") || isWord("ILIKE")) {
      tree.kind = NodeKind::Like;
      tree.caseless = isWord("ILIKE");
      if (auto f = advance()) return f;
      if (tok_.kind != Tok::Text) return Failure{tok_.at, "a pattern in single quotes expected"};
      tree.operands.emplace_back();
      return operand(tree.operands.back());
    }
    if (tree.negated) return Failure{notAt, "BETWEEN, IN or LIKE expected after NOT"};
    return std::nullopt;
  }

  // Skips the current token, then reads `n` operands.
  std::optional<Failure> operands(Node& tree, int n) {
    if (auto f = advance()) return f;
    for (int k = 0; k < n; ++k) {
      tree.operands.emplace_back();
      if (auto f = operand(tree.operands.back())) return f;
    }
    return std::nullopt;
  }

  std::optional<Failure> list(Node& tree) {
    tree.kind = NodeKind::In;
    if (auto f = advance()) return f;
    if (!isSymbol("(")) return Failure{tok_.at, "a list in parentheses expected after IN"};
    do {
      if (auto f = operands(tree, 1)) return f;
    } while (isSymbol(","));
    if (!isSymbol(")")) return Failure{tok_.at, "a comma or a closing parenthesis expected"};
    return advance();
  }

  std::optional<Failure> operand(Operand& o) {
    o.at = tok_.at;
    switch (tok_.kind) {
      case Tok::End: return Failure{tok_.at, "a field or a value expected"};
      case Tok::Symbol: return Failure{tok_.at, "a field or a value expected"};
      case Tok::Name:
        o.kind = Operand::Kind::Field;
        o.name = tok_.text;
        return advance();
      case Tok::Text:
        o.literal = Literal{ValueClass::Text, tok_.text};
        return advance();
      case Tok::Number:
        o.literal = Literal{ValueClass::Number, tok_.text};
        return advance();
      case Tok::Word: return word(o);
    }
    return std::nullopt;
  }

  std::optional<Failure> word(Operand& o) {
    const std::string w = rt::upper(tok_.text);
    if (w == "NULL" || w == "TRUE" || w == "FALSE") {
      o.literal = w == "NULL" ? Literal{} : Literal{ValueClass::Logical, "", 0, w == "TRUE"};
      return advance();
    }
    if (w == "DATE" || w == "TIMESTAMP") {
      const std::size_t at = tok_.at;
      if (auto f = advance()) return f;
      if (tok_.kind != Tok::Text) return Failure{tok_.at, "a quoted " + rt::lower(w) + " expected after " + w};
      const bool date = w == "DATE";
      o.literal = Literal{date ? ValueClass::Date : ValueClass::Moment, tok_.text};
      if (!momentKey(tok_.text, o.literal.key) || (date && tok_.text.size() != 10)) {
        return Failure{tok_.at, date ? "not a date (YYYY-MM-DD)" : "not a timestamp (YYYY-MM-DD HH:MM:SS)"};
      }
      o.at = at;
      return advance();
    }
    static constexpr std::array<std::string_view, 8> kReserved = {"AND", "OR", "NOT", "BETWEEN", "IN", "LIKE", "ILIKE", "IS"};
    for (const std::string_view r : kReserved) {
      if (w == r) return Failure{tok_.at, "a field or a value expected before " + w};
    }
    o.kind = w == "_DELETED" ? Operand::Kind::Deleted : Operand::Kind::Field;
    o.name = tok_.text;
    return advance();
  }

  Lexer lexer_;
  Token tok_;
};

// The literals of a tree that cannot meet: a text compared with a number,
// say, is wrong whatever the table.
std::optional<Failure> literalTypes(const Node& n) {
  for (const Node& c : n.children) {
    if (auto f = literalTypes(c)) return f;
  }
  auto isLiteral = [](const Operand& o) { return o.kind == Operand::Kind::Literal; };
  if (n.kind == NodeKind::Truth && isLiteral(n.operands[0])) {
    const ValueClass c = n.operands[0].literal.kind;
    if (c != ValueClass::Logical && c != ValueClass::Null) return Failure{n.operands[0].at, "a condition expected, not a value alone"};
  }
  if (n.kind == NodeKind::Compare || n.kind == NodeKind::Between || n.kind == NodeKind::In) {
    const Operand& a = n.operands[0];
    for (std::size_t k = 1; k < n.operands.size(); ++k) {
      const Operand& b = n.operands[k];
      if (!isLiteral(b)) continue;
      if (isLiteral(a) && !comparable(a.literal.kind, b.literal.kind)) {
        return Failure{b.at, std::string(className(a.literal.kind)) + " cannot be compared with " +
                                 std::string(className(b.literal.kind))};
      }
    }
  }
  return std::nullopt;
}

void findHighText(const Node& n, std::optional<std::size_t>& at) {
  for (const Node& c : n.children) findHighText(c, at);
  for (const Operand& o : n.operands) {
    if (at || o.kind != Operand::Kind::Literal || o.literal.kind != ValueClass::Text) continue;
    for (const char c : o.literal.text) {
      if (static_cast<unsigned char>(c) >= 0x80) {
        at = o.at;
        break;
      }
    }
  }
}

int number(std::string_view s, std::size_t at, std::size_t n) {
  int v = 0;
  for (std::size_t i = at; i < at + n; ++i) {
    if (!isDigit(s[i])) return -1;
    v = v * 10 + (s[i] - '0');
  }
  return v;
}

}  // namespace

bool dayKey(int y, int m, int d, MomentKey& key) {
  static constexpr int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (y < 1 || y > 9999 || m < 1 || m > 12 || d < 1 || d > kDays[m - 1]) return false;
  if (m == 2 && d == 29 && !((y % 4 == 0 && y % 100 != 0) || y % 400 == 0)) return false;
  key = (y * 10000LL + m * 100 + d) * 1000000000LL;
  return true;
}

bool momentKey(std::string_view s, MomentKey& key) {
  if (s.size() < 10 || s[4] != '-' || s[7] != '-') return false;
  if (!dayKey(number(s, 0, 4), number(s, 5, 2), number(s, 8, 2), key)) return false;
  if (s.size() == 10) return true;
  if (s.size() < 19 || (s[10] != ' ' && s[10] != 'T') || s[13] != ':' || s[16] != ':') return false;
  const int h = number(s, 11, 2), mi = number(s, 14, 2), se = number(s, 17, 2);
  if (h < 0 || h > 23 || mi < 0 || mi > 59 || se < 0 || se > 59) return false;
  std::int64_t ms = (h * 3600 + mi * 60 + se) * 1000LL;
  if (s.size() > 19) {
    const std::size_t digits = s.size() - 20;
    const int f = s[19] == '.' && digits >= 1 && digits <= 3 ? number(s, 20, digits) : -1;
    if (f < 0) return false;
    ms += f * (digits == 1 ? 100 : digits == 2 ? 10 : 1);
  }
  key += ms;
  return true;
}

std::string pointAt(std::string_view expression, std::size_t at, std::string_view message) {
  // The caret goes under a character, not a byte, of the UTF-8 line; the
  // control characters a shell may pass in become blanks so the line holds.
  std::string shown(expression);
  for (char& c : shown) {
    if (static_cast<unsigned char>(c) < 0x20) c = ' ';
  }
  std::size_t column = 0;
  for (std::size_t i = 0; i < at && i < expression.size(); ++i) {
    if ((static_cast<unsigned char>(expression[i]) & 0xC0) != 0x80) ++column;
  }
  return "dbf2csv: --where: " + std::string(message) + " (dbf2csv --help)\n  " + shown + "\n  " +
         std::string(column, ' ') + "^";
}

rt::Status parseCondition(std::string_view expression, Node& tree) {
  tree = Node{};
  Parser parser(expression);
  std::optional<Failure> f = parser.parse(tree);
  if (!f) f = literalTypes(tree);
  if (!f) return rt::Status::ok();
  return rt::Status::invalidArgument(pointAt(expression, f->at, f->message));
}

rt::Status checkAsciiLiterals(std::string_view expression, const Node& tree) {
  std::optional<std::size_t> at;
  findHighText(tree, at);
  if (!at) return rt::Status::ok();
  return rt::Status::invalidArgument(
      pointAt(expression, *at, "a text with characters beyond ASCII needs --encoding, so that the table's text is UTF-8 too"));
}

bool comparable(ValueClass a, ValueClass b) {
  if (a == ValueClass::Null || b == ValueClass::Null) return true;
  const auto day = [](ValueClass c) { return c == ValueClass::Date || c == ValueClass::Moment; };
  return a == b ? a != ValueClass::Binary : day(a) && day(b);
}

std::string_view className(ValueClass c) {
  switch (c) {
    case ValueClass::Null: return "NULL";
    case ValueClass::Text: return "a text";
    case ValueClass::Number: return "a number";
    case ValueClass::Date: return "a date";
    case ValueClass::Moment: return "a timestamp";
    case ValueClass::Logical: return "a logical";
    case ValueClass::Binary: return "binary data";
  }
  return "";
}

}  // namespace app::where
