#include "platform/rt/numbers.hpp"

#include <gtest/gtest.h>

#include "platform/rt/error_block.hpp"
#include "platform/rt/strings.hpp"

namespace {

rt::Number computed(double v, int decimals) { return rt::Number{v, decimals, {}}; }
rt::Number stored(double v, int decimals, const char* text) { return rt::Number{v, decimals, text}; }

struct StrCase {
  rt::Number n;
  const char* text;
};

TEST(NumbersTest, StrWithoutWidthShowsTheNumbersOwnDecimals) {
  const StrCase cases[] = {
      {computed(42, 0), "        42"},
      {computed(12.5, 2), "        12.50"},
      {computed(-3.5, 2), "        -3.50"},
      {computed(0, 2), "         0.00"},
      {computed(-0.001, 2), "         0.00"},  // no "-0.00"
      {computed(1.005, 2), "         1.01"},  // half away from zero on the decimal digits
      {computed(2.5, 0), "         3"},
      {computed(-2.5, 0), "        -3"},
      {computed(12345678901.0, 0), "12345678901"},
      {computed(1e16, 0), "10000000000000000"},
      {computed(-1e16, 1), "-10000000000000000.0"},
      {computed(123.456, 1), "       123.5"},
      {computed(0.05, 3), "         0.050"},
      {computed(-0.5, 0), "        -1"},
      {stored(123456789012345678.0, 0, "123456789012345678"), "123456789012345678"},
      {stored(1200, 2, "1,200.00"), "1,200.00"},
      {stored(0, 0, "***"), "***"},
  };
  for (const auto& c : cases) EXPECT_EQ(rt::str(c.n), c.text) << c.n.value;
}

TEST(NumbersTest, StrWithWidthAndDecimals) {
  EXPECT_EQ(rt::str(computed(3.456, 2), 6, 2), "  3.46");
  EXPECT_EQ(rt::str(computed(3.5, 2), 5), "    4");
  EXPECT_EQ(rt::str(computed(32, 0), 3), " 32");
  EXPECT_EQ(rt::str(computed(12345, 0), 3), "***");
  EXPECT_EQ(rt::str(computed(7, 0), 0), "         7");
  // The stored text stands when its decimals are the ones asked for.
  EXPECT_EQ(rt::str(stored(99999999999999999999.0, 0, "99999999999999999999"), 22),
            "  99999999999999999999");
  EXPECT_EQ(rt::str(stored(12.5, 2, "12.50"), 8, 2), "   12.50");
  EXPECT_EQ(rt::str(stored(12.5, 2, "12.50"), 8, 1), "    12.5");
  EXPECT_EQ(rt::str(stored(12.5, 2, "12.50"), 3, 2), "***");
}

TEST(NumbersTest, StrOfTheErrorHandlerTrimsToTheDigits) {
  EXPECT_EQ(rt::lTrim(rt::str(rt::Value(32))), "32");
  EXPECT_EQ(rt::allTrim(rt::str(rt::Value::number(1234.5, 1))), "1234.5");
}

TEST(NumbersTest, AppendStrAddsToTheLine) {
  std::string line = "\"";
  rt::appendStr(line, computed(7, 0));
  EXPECT_EQ(line, "\"         7");
}

TEST(NumbersTest, StrOfANonNumberAsksTheErrorBlock) {
  rt::ErrorPtr seen;
  rt::Value answer = 5;
  rt::ErrorBlockGuard guard([&](const rt::ErrorPtr& e) -> rt::Value {
    seen = e;
    return answer;
  });
  EXPECT_EQ(rt::str(rt::Value("x"), 3), "  5");
  ASSERT_TRUE(seen);
  EXPECT_EQ(seen->genCode, 1);
  EXPECT_EQ(seen->operation, "STR");
  EXPECT_EQ(seen->description, "Argument error: STR needs a number");
  ASSERT_TRUE(seen->args.isArray());
  EXPECT_EQ(seen->args.array().at(0).text(), "x");
  answer = false;
  EXPECT_EQ(rt::str(rt::Value(true)), "");
}

struct TransformCase {
  double value;
  const char* picture;
  const char* text;
};

TEST(NumbersTest, TransformWithThousandsSeparators) {
  const TransformCase cases[] = {
      {0, "999,999,999,999", "              0"},
      {7, "999,999,999,999", "              7"},
      {999, "999,999,999,999", "            999"},
      {1000, "999,999,999,999", "          1,000"},
      {1234, "999,999,999,999", "          1,234"},
      {1234567, "999,999,999,999", "      1,234,567"},
      {999999999999.0, "999,999,999,999", "999,999,999,999"},
      {1000000000000.0, "999,999,999,999", "***************"},
      {-1234, "999,999,999,999", "         -1,234"},
      {-123, "999", "***"},
      {1234.567, "9,999.99", "1,234.57"},
      {0.5, ".99", ".50"},
      {12, "$999", "$ 12"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(rt::transform(computed(c.value, 0), c.picture), c.text) << c.value << " " << c.picture;
  EXPECT_EQ(rt::allTrim(rt::transform(rt::Value(1234), "999,999,999,999")), "1,234");
}

TEST(NumbersTest, TransformOfOtherValues) {
  EXPECT_EQ(rt::transform(rt::Value("c:\\data"), "@!"), "C:\\DATA");
  EXPECT_EQ(rt::transform(rt::Value("c:\\data"), ""), "c:\\data");
  EXPECT_EQ(rt::transform(rt::Value(true), ""), ".T.");
  EXPECT_EQ(rt::transform(computed(3, 0), ""), "         3");
}

}  // namespace
