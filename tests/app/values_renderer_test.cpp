// The routine path's rendering: the text of each type of value and the
// substitutes that keep a record on one line.
#include <gtest/gtest.h>

#include "src/app/values_renderer.hpp"

#include "src/app/line_writer.hpp"
#include "tests/support/fake_toolkit.hpp"

namespace {

const std::string k191 = "\xBF", k192 = "\xC0", k193 = "\xC1";

rt::Value stored(const char* text, int decimals, double value) {
  return rt::Value(rt::Number{value, decimals, text});
}

// The line of one value.
std::string lineOf(const rt::Value& value) {
  app::LineWriter out(app::LineFormat::standard());
  return std::string(app::valuesLine(out, {value}));
}

TEST(ValuesLine, WritesEachTypeAsItsText) {
  testing_support::ScopedFakeToolkit fake;
  struct Rendering {
    const char* what;
    rt::Value value;
    std::string written;  // what goes between the quotes (trailing blanks trimmed)
  };
  const Rendering cases[] = {
      {"date", rt::Date::fromYmd(2011, 8, 27), "20110827"},
      {"empty date", rt::Date::empty(), ""},
      {"date field holding text", rt::Date{{'1', '"', '3', '\r', '\x8D', ' ', ' ', ' '}},
       "1" + k193 + "3" + k191 + k191},
      {"true", true, "T"},
      {"false", false, "F"},
      {"stored 12.50", stored("     12.50", 2, 12.5), "12.50"},
      {"stored 42", stored("        42", 0, 42), "42"},
      {"stored -3.50", stored("-3.50", 2, -3.5), "-3.50"},
      {"computed 0.00", rt::Value::number(0, 2), "0.00"},
      {"computed -3.5", rt::Value::number(-3.5, 2), "-3.50"},
      {"computed 1234", 1234, "1234"},
      {"not a number", stored("  ***", 0, 0), "***"},
      {"blanks", "   ", ""},
      {"leading blanks", "  lead  ", "  lead"},
      {"CR LF", "one\r\ntwo", "one" + k191 + k192 + "two"},
      {"soft break", "one\x8D\ntwo", "one" + k191 + k192 + "two"},
      {"quote", "say \"hi\" ", "say " + k193 + "hi" + k193},
      {"other bytes", "\x01\xFF\xBF", "\x01\xFF\xBF"},
      {"memo", rt::Memo{"a\rb\nc\"d"}, "a" + k191 + "b" + k192 + "c" + k193 + "d"},
  };
  for (const auto& c : cases) EXPECT_EQ(lineOf(c.value), "\"" + c.written + "\"\r\n") << c.what;
  EXPECT_TRUE(fake->shown.empty());
}

TEST(ValuesLine, AnUndeterminedTypeIsToldAndWritesAnEmptyField) {
  struct Case {
    rt::Value value;
    std::string message;
  };
  const Case cases[] = {
      {rt::Value(), "UNDETERMINED TYPE U"},
      {rt::Value(rt::Array{1, 2}), "UNDETERMINED TYPE A"},
      {rt::Value(rt::Block([](rt::Array&) { return rt::Value(); })), "UNDETERMINED TYPE B"},
  };
  for (const auto& c : cases) {
    testing_support::ScopedFakeToolkit fake;
    EXPECT_EQ(lineOf(c.value), "\"\"\r\n");
    EXPECT_EQ(fake->texts("guiAlert"), std::vector<std::string>{c.message});
  }
}

TEST(ValuesLine, EveryLineBreakAndQuoteBecomesItsSubstitute) {
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  const std::string line = lineOf(all);
  ASSERT_EQ(line.size(), 256u + 4);
  for (int b = 0; b < 256; ++b) {
    const int expected = b == 13 || b == 141 ? 191 : b == 10 ? 192 : b == 34 ? 193 : b;
    EXPECT_EQ(static_cast<unsigned char>(line[1 + b]), expected) << b;
  }
}

}  // namespace
