// Numbers read from tables: stored digits shown with the declared decimals
// by decimal arithmetic, and binary doubles in their shortest exact digits.
#include <gtest/gtest.h>

#include <cstdlib>
#include <limits>

#include "platform/db/number_text.hpp"

namespace {

struct StoredCase {
  const char* stored;
  int decimals;
  const char* shown;
};

TEST(StoredNumber, ShowsTheDeclaredDecimalsWithoutFloatingPoint) {
  const StoredCase cases[] = {
      {"", 2, "0.00"},
      {"0", 0, "0"},
      {"42", 0, "42"},
      {"12.5", 2, "12.50"},
      {"-3.5", 2, "-3.50"},
      {"007", 0, "7"},
      {"+5", 1, "5.0"},
      {"5.", 0, "5"},
      {".5", 2, "0.50"},
      {"-.5", 0, "-1"},
      {"2.345", 2, "2.35"},
      {"-2.345", 2, "-2.35"},
      {"2.344999", 2, "2.34"},
      {"9.995", 2, "10.00"},
      {"99999999999999999999", 0, "99999999999999999999"},
      {"123456789012345.6789", 4, "123456789012345.6789"},
      {"-0", 0, "0"},
      {"-0.00", 2, "0.00"},
      {"-0.001", 2, "0.00"},
      {"-0.005", 2, "-0.01"},
      {"1.5e3", 0, "1500"},
      {"1.234E-2", 3, "0.012"},
      {"5E-1", 0, "1"},
      {"4e-1", 0, "0"},
      {"1e-999999999999", 2, "0.00"},
      {"0.1", 18, "0.100000000000000000"},
  };
  for (const StoredCase& c : cases) {
    std::string out;
    ASSERT_TRUE(db::formatStoredNumber(c.stored, c.decimals, out)) << c.stored;
    EXPECT_EQ(out, c.shown) << c.stored << " with " << c.decimals << " decimals";
  }
}

TEST(StoredNumber, TextThatIsNoNumberIsRefused) {
  for (const char* text : {"***", "1,200.00", ".", "-", "1e", "1.2.3", "12 34", "0x10", "e5", "1e5000"}) {
    std::string out;
    EXPECT_FALSE(db::formatStoredNumber(text, 0, out)) << text;
  }
}

TEST(StoredNumber, FieldPaddingIsTrimmed) {
  std::string scratch;
  EXPECT_EQ(db::trimNumericField("  12.50", scratch), "12.50");
  EXPECT_EQ(db::trimNumericField(std::string("1234.  \0\0", 9), scratch), "1234.");
  EXPECT_EQ(db::trimNumericField(std::string("\0 -1\0 ", 6), scratch), "-1");
  EXPECT_EQ(db::trimNumericField("      ", scratch), "");
  EXPECT_EQ(db::trimNumericField("1 2", scratch), "1 2");
}

TEST(ShortestFixed, GivesTheFewestDigitsThatReadBack) {
  const std::pair<double, const char*> cases[] = {
      {2.3, "2.3"},           {4.56, "4.56"},         {100.0, "100"},
      {-199.99, "-199.99"},   {0.1 + 0.2, "0.30000000000000004"},
      {1e22, "10000000000000000000000"},              {1e-7, "0.0000001"},
      {-0.0, "0"},            {0.0, "0"},             {123456789.125, "123456789.125"},
  };
  for (const auto& [value, text] : cases) EXPECT_EQ(db::shortestFixed(value), text) << value;
  const std::string tiny = db::shortestFixed(5e-324);
  EXPECT_EQ(tiny, "0." + std::string(323, '0') + "5");
  EXPECT_EQ(std::strtod(tiny.c_str(), nullptr), 5e-324);
}

TEST(ShortestFixed, NotANumberAndInfinitiesGiveNothing) {
  EXPECT_EQ(db::shortestFixed(std::numeric_limits<double>::quiet_NaN()), "");
  EXPECT_EQ(db::shortestFixed(std::numeric_limits<double>::infinity()), "");
  EXPECT_EQ(db::shortestFixed(-std::numeric_limits<double>::infinity()), "");
}

}  // namespace
