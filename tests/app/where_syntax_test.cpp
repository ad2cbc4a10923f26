// The --where condition as read from the command line: the tree of what is
// accepted (precedence, the SQL words, literals), and every kind of error in
// its three lines, word for word.
#include <gtest/gtest.h>

#include "src/app/options.hpp"
#include "src/app/where_syntax.hpp"

namespace {

using namespace app::where;

std::string shown(const Operand& o) {
  if (o.kind == Operand::Kind::Deleted) return "<deleted>";
  if (o.kind == Operand::Kind::Field) return "[" + o.name + "]";
  const Literal& l = o.literal;
  switch (l.kind) {
    case ValueClass::Null: return "NULL";
    case ValueClass::Text: return "'" + l.text + "'";
    case ValueClass::Number: return "#" + l.text;
    case ValueClass::Date:
    case ValueClass::Moment: return "@" + std::to_string(l.key);
    case ValueClass::Logical: return l.truth ? "TRUE" : "FALSE";
    case ValueClass::Binary: break;
  }
  return "?";
}

// The tree in prefix form, every node in parentheses.
std::string shown(const Node& n) {
  static const char* const kOps[] = {"=", "<>", "<", "<=", ">", ">="};
  std::string s = "(";
  if (n.negated) s += "not-";
  switch (n.kind) {
    case NodeKind::And: s += "and"; break;
    case NodeKind::Or: s += "or"; break;
    case NodeKind::Not: s += "not"; break;
    case NodeKind::Compare: s += kOps[static_cast<int>(n.op)]; break;
    case NodeKind::Between: s += "between"; break;
    case NodeKind::In: s += "in"; break;
    case NodeKind::Like: s += n.caseless ? "ilike" : "like"; break;
    case NodeKind::IsNull: s += "null"; break;
    case NodeKind::Truth: s += "is"; break;
  }
  for (const Operand& o : n.operands) s += " " + shown(o);
  for (const Node& c : n.children) s += " " + shown(c);
  return s + ")";
}

TEST(WhereSyntax, ConditionsReadAsSqlReadsThem) {
  const std::pair<std::string, std::string> cases[] = {
      {"PRICE > 10", "(> [PRICE] #10)"},
      {"price>=-12.5", "(>= [price] #-12.5)"},
      {"A <> 1 AND B != 2", "(and (<> [A] #1) (<> [B] #2))"},
      // AND binds before OR; NOT before AND; parentheses before all.
      {"a = 1 or b = 2 and c = 3", "(or (= [a] #1) (and (= [b] #2) (= [c] #3)))"},
      {"(a = 1 OR b = 2) AND c = 3", "(and (or (= [a] #1) (= [b] #2)) (= [c] #3))"},
      {"NOT a = 1 AND b = 2", "(and (not (= [a] #1)) (= [b] #2))"},
      {"not not flag", "(not (not (is [flag])))"},
      {"a = 1 OR b = 2 OR c = 3", "(or (or (= [a] #1) (= [b] #2)) (= [c] #3))"},
      // BETWEEN's AND is its own, not the connective.
      {"n BETWEEN 1 AND 5 AND m NOT BETWEEN .5 AND 2.", "(and (between [n] #1 #5) (not-between [m] #0.5 #2))"},
      {"city IN ('Paris', 'Oslo') OR n not in (1)", "(or (in [city] 'Paris' 'Oslo') (not-in [n] #1))"},
      {"name LIKE 'A%' AND name NOT ILIKE '_b%'", "(and (like [name] 'A%') (not-ilike [name] '_b%'))"},
      {"memo IS NULL OR memo is not null", "(or (null [memo]) (not-null [memo]))"},
      // Quotes doubled inside; names in double quotes keep any character.
      {"\"Point ID\" = 'it''s' OR \"a\"\"b\" = ''", "(or (= [Point ID] 'it's') (= [a\"b] ''))"},
      {"_deleted AND \"_DELETED\" = TRUE", "(and (is <deleted>) (= [_DELETED] TRUE))"},
      {"f = false OR f = NULL", "(or (= [f] FALSE) (= [f] NULL))"},
      // Exponents become plain decimals; the sign stays with the digits.
      {"x = 1.5e3 OR x = -25E-3 OR x = +7", "(or (or (= [x] #1500) (= [x] #-0.025)) (= [x] #7))"},
      {"d = DATE '2024-02-29'", "(= [d] @20240229000000000)"},
      {"t < TIMESTAMP '1999-12-31 23:59:59.5' AND t >= timestamp '2000-01-01'",
       "(and (< [t] @19991231086399500) (>= [t] @20000101000000000))"},
      {"\t a\r\n=\n1 ", "(= [a] #1)"},
  };
  for (const auto& [expression, tree] : cases) {
    Node n;
    const rt::Status s = parseCondition(expression, n);
    ASSERT_TRUE(s.isOk()) << expression << "\n" << s.message();
    EXPECT_EQ(shown(n), tree) << expression;
  }
}

TEST(WhereSyntax, AnErrorIsThreeLinesWithACaretUnderThePlace) {
  const std::pair<std::string, std::string> cases[] = {
      {"", "a condition expected (dbf2csv --help)\n  \n  ^"},
      {"PRICE >", "a field or a value expected (dbf2csv --help)\n  PRICE >\n         ^"},
      {"a = 1 b = 2", "AND or OR expected (dbf2csv --help)\n  a = 1 b = 2\n        ^"},
      {"(a = 1", "a closing parenthesis expected (dbf2csv --help)\n  (a = 1\n        ^"},
      {"a = 'open", "a text without its closing quote (dbf2csv --help)\n  a = 'open\n      ^"},
      {"\"x = 1", "a name without its closing quote (dbf2csv --help)\n  \"x = 1\n  ^"},
      {"\"\" = 1", "an empty field name (dbf2csv --help)\n  \"\" = 1\n  ^"},
      {"a = 1 AND OR", "a field or a value expected before OR (dbf2csv --help)\n  a = 1 AND OR\n            ^"},
      {"a BETWEEN 1 OR 2", "AND expected in BETWEEN ... AND ... (dbf2csv --help)\n  a BETWEEN 1 OR 2\n              ^"},
      {"a IN 1", "a list in parentheses expected after IN (dbf2csv --help)\n  a IN 1\n       ^"},
      {"a IN (1 2)", "a comma or a closing parenthesis expected (dbf2csv --help)\n  a IN (1 2)\n          ^"},
      {"a LIKE b", "a pattern in single quotes expected (dbf2csv --help)\n  a LIKE b\n         ^"},
      {"a IS 1", "NULL or NOT NULL expected after IS (dbf2csv --help)\n  a IS 1\n       ^"},
      {"a NOT = 1", "BETWEEN, IN or LIKE expected after NOT (dbf2csv --help)\n  a NOT = 1\n    ^"},
      {"a = 1; drop", "unexpected character (dbf2csv --help)\n  a = 1; drop\n       ^"},
      {"a = 12abc", "unexpected character (dbf2csv --help)\n  a = 12abc\n        ^"},
      {"a = 1e", "a number with an incomplete exponent (dbf2csv --help)\n  a = 1e\n      ^"},
      {"a = 1e999", "a number out of range (dbf2csv --help)\n  a = 1e999\n      ^"},
      {"a = -", "a number expected (dbf2csv --help)\n  a = -\n      ^"},
      {"d = DATE '2023-02-29'", "not a date (YYYY-MM-DD) (dbf2csv --help)\n  d = DATE '2023-02-29'\n           ^"},
      {"d = DATE '2023-02-28 10:00:00'",
       "not a date (YYYY-MM-DD) (dbf2csv --help)\n  d = DATE '2023-02-28 10:00:00'\n           ^"},
      {"t = TIMESTAMP '2023-01-01 24:00:00'",
       "not a timestamp (YYYY-MM-DD HH:MM:SS) (dbf2csv --help)\n  t = TIMESTAMP '2023-01-01 24:00:00'\n"
       "                ^"},
      {"d = DATE 20230101", "a quoted date expected after DATE (dbf2csv --help)\n  d = DATE 20230101\n           ^"},
      {"'x' = 1", "a text cannot be compared with a number (dbf2csv --help)\n  'x' = 1\n        ^"},
      {"5 IN (5, DATE '2020-01-01')",
       "a number cannot be compared with a date (dbf2csv --help)\n  5 IN (5, DATE '2020-01-01')\n           ^"},
      {"a = 1 OR 'x'", "a condition expected, not a value alone (dbf2csv --help)\n  a = 1 OR 'x'\n           ^"},
      // The caret counts characters, and a tab shows as a blank.
      {"n\t= 'é' AND ?", "unexpected character (dbf2csv --help)\n  n = 'é' AND ?\n              ^"},
  };
  for (const auto& [expression, error] : cases) {
    Node n;
    const rt::Status s = parseCondition(expression, n);
    EXPECT_EQ(s.code(), rt::StatusCode::InvalidArgument) << expression;
    EXPECT_EQ(s.message(), "dbf2csv: --where: " + error) << expression;
  }
}

TEST(WhereSyntax, TheCommandLineRefusesTextBeyondAsciiUnlessTheTextIsConverted) {
  const std::string expression = "name = 'abc' OR city LIKE 'Zürich%'";
  app::Options plain;
  const rt::Status refused = app::parseCommandLine({"--where", expression, "T"}, plain);
  EXPECT_EQ(refused.message(),
            "dbf2csv: --where: a text with characters beyond ASCII needs --encoding, so that the table's text is "
            "UTF-8 too (dbf2csv --help)\n  " + expression + "\n                            ^");
  for (const std::vector<std::string>& args : {std::vector<std::string>{"-e", "1252", "--where=" + expression, "T"},
                                               std::vector<std::string>{"--typed", "--where=" + expression, "T"}}) {
    app::Options o;
    EXPECT_TRUE(app::parseCommandLine(args, o).isOk()) << args[0];
    EXPECT_EQ(o.where, expression);
  }
  // Windows' ANSI arguments take the text of a condition and the field
  // names from the wide command line, never a name of a file, even one that
  // looks like an option.
  std::vector<std::string> ansi = {"C?T?.DBF", "--where", "n = '?'", "--where=m = '?'", "--fields=?,A", "--exclude",
                                   "?",        "-o",      "--where",  "-o--fields=?",    "--",           "--where=x"};
  app::takeTextInUtf8(ansi, {"CÉTÉ.DBF", "--where", "n = 'é'", "--where=m = 'ü'", "--fields=☃,A", "--exclude", "Ä",
                             "-o", "--where", "-o--fields=Ö", "--", "--where=y"});
  EXPECT_EQ(ansi, (std::vector<std::string>{"C?T?.DBF", "--where", "n = 'é'", "--where=m = 'ü'", "--fields=☃,A",
                                            "--exclude", "Ä", "-o", "--where", "-o--fields=?", "--", "--where=x"}));
  app::Options o;
  EXPECT_EQ(app::parseCommandLine({"--where=", "T"}, o).message(), "dbf2csv: --where needs a value (dbf2csv --help)");
  EXPECT_EQ(app::parseCommandLine({"--where=a =", "T"}, o).message(),
            "dbf2csv: --where: a field or a value expected (dbf2csv --help)\n  a =\n     ^");
}

TEST(WhereSyntax, MomentKeysOrderDaysAndTimesAndKnowTheCalendar) {
  struct Case {
    std::string text;
    bool ok;
  };
  const Case cases[] = {{"2000-02-29", true},          {"1900-02-29", false},         {"2024-04-31", false},
                        {"0000-01-01", false},         {"9999-12-31 23:59:59.999", true}, {"2020-01-01 12:00", false},
                        {"2020-01-01 12:00:00.", false}, {"2020-01-01 12:00:00.1234", false}, {"2020-1-01", false}};
  for (const Case& c : cases) {
    MomentKey key = 0;
    EXPECT_EQ(momentKey(c.text, key), c.ok) << c.text;
  }
  MomentKey day = 0, noon = 0, tenth = 0, next = 0;
  ASSERT_TRUE(momentKey("2020-01-01", day) && momentKey("2020-01-01 12:00:00", noon) &&
              momentKey("2020-01-01 12:00:00.1", tenth) && momentKey("2020-01-02", next));
  EXPECT_LT(day, noon);
  EXPECT_EQ(tenth - noon, 100);
  EXPECT_LT(tenth, next);
}

}  // namespace
