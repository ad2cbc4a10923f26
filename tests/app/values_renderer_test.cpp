// The routine path's rendering: the text of each type of value and the substitutes that
// keep a record on one line.
#include <gtest/gtest.h>

#include "src/app/values_renderer.hpp"

#include "src/app/line_writer.hpp"
#include "tests/support/fake_toolkit.hpp"

namespace {

const std::string k191 = "\xBF", k192 = "\xC0", k193 = "\xC1";

rt::Value stored(const char* text, int decimals, double value) {
  return rt::Value(rt::Number{value, decimals, text});
}

struct Rendering {
  const char* what;
  rt::Value value;
  std::string text;     // VARTOCHAR
  std::string written;  // what goes between the quotes (trailing blanks trimmed)
};

TEST(VarToChar, RendersEachTypeAsItsText) {
  testing_support::ScopedFakeToolkit fake;
  const Rendering cases[] = {
      {"date", rt::Date::fromYmd(2011, 8, 27), "20110827", "20110827"},
      {"empty date", rt::Date::empty(), "        ", ""},
      {"date field holding text", rt::Date{{'1', '"', '3', '\r', '\x8D', ' ', ' ', ' '}},
       "1" + k193 + "3" + k191 + k191 + "   ", "1" + k193 + "3" + k191 + k191},
      {"true", true, "T", "T"},
      {"false", false, "F", "F"},
      {"stored 12.50", stored("     12.50", 2, 12.5), "12.50", "12.50"},
      {"stored 42", stored("        42", 0, 42), "42", "42"},
      {"stored -3.50", stored("-3.50", 2, -3.5), "-3.50", "-3.50"},
      {"computed 0.00", rt::Value::number(0, 2), "0.00", "0.00"},
      {"computed -3.5", rt::Value::number(-3.5, 2), "-3.50", "-3.50"},
      {"computed 1234", 1234, "1234", "1234"},
      {"not a number", stored("  ***", 0, 0), "***", "***"},
      {"blanks", "   ", "   ", ""},
      {"leading blanks", "  lead  ", "  lead  ", "  lead"},
      {"CR LF", "one\r\ntwo", "one" + k191 + k192 + "two", "one" + k191 + k192 + "two"},
      {"soft break", "one\x8D\ntwo", "one" + k191 + k192 + "two", "one" + k191 + k192 + "two"},
      {"quote", "say \"hi\" ", "say " + k193 + "hi" + k193 + " ", "say " + k193 + "hi" + k193},
      {"other bytes", "\x01\xFF\xBF", "\x01\xFF\xBF", "\x01\xFF\xBF"},
      {"memo", rt::Memo{"a\rb\nc\"d"}, "a" + k191 + "b" + k192 + "c" + k193 + "d",
       "a" + k191 + "b" + k192 + "c" + k193 + "d"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(app::varToChar(c.value), c.text) << c.what;
    app::LineWriter out(app::LineFormat::standard());
    EXPECT_EQ(app::valuesLine(out, {c.value}), "\"" + c.written + "\"\r\n") << c.what;
  }
  EXPECT_TRUE(fake->shown.empty());
}

TEST(VarToChar, AnUndeterminedTypeIsToldOnceAndRendersEmpty) {
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
    EXPECT_EQ(app::varToChar(c.value), "");
    app::LineWriter out(app::LineFormat::standard());
    EXPECT_EQ(app::valuesLine(out, {c.value}), "\"\"\r\n");
    EXPECT_EQ(fake->texts("guiAlert"), (std::vector<std::string>{c.message, c.message}));
  }
}

TEST(ChangeSpecialChars, EveryLineBreakAndQuoteBecomesItsSubstitute) {
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  const std::string changed = app::changeSpecialChars(all);
  ASSERT_EQ(changed.size(), 256u);
  for (int b = 0; b < 256; ++b) {
    const int expected = b == 13 || b == 141 ? 191 : b == 10 ? 192 : b == 34 ? 193 : b;
    EXPECT_EQ(static_cast<unsigned char>(changed[b]), expected) << b;
  }
  const std::string text = "keep \"me\"";
  EXPECT_EQ(app::changeSpecialChars(text), "keep " + k193 + "me" + k193);
  EXPECT_EQ(text, "keep \"me\"");
}

}  // namespace
