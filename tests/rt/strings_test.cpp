#include "platform/rt/masks.hpp"
#include "platform/rt/settings_test_helper.hpp"
#include "platform/rt/strings.hpp"

#include <gtest/gtest.h>

#include "platform/rt/settings.hpp"

namespace {

struct FindCase {
  const char* needle;
  const char* hay;
  int at;
  int rat;
};

TEST(StringsTest, AtAndRatFindFirstAndLastOccurrence) {
  const FindCase cases[] = {
      {"\\", "C:\\DATA\\ORDERS.DBF", 3, 8},
      {"|", "A|B|C", 2, 4},
      {"::", "A::B::", 2, 5},
      {"X", "ABC", 0, 0},
      {"", "ABC", 0, 0},
      {"ABCD", "ABC", 0, 0},
      {"ABC", "ABC", 1, 1},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(rt::at(c.needle, c.hay), c.at) << c.needle << " in " << c.hay;
    EXPECT_EQ(rt::rat(c.needle, c.hay), c.rat) << c.needle << " in " << c.hay;
  }
}

TEST(StringsTest, StrTranReplacesOccurrences) {
  EXPECT_EQ(rt::strTran("a;b;;c", ";", "\r"), "a\rb\r\rc");
  EXPECT_EQ(rt::strTran("aaa", "a", "bb"), "bbbbbb");
  EXPECT_EQ(rt::strTran("abab", "ab"), "");
  EXPECT_EQ(rt::strTran("x.DBF.DBF", ".DBF", ".CSV", 2), "x.DBF.CSV");
  EXPECT_EQ(rt::strTran("1-2-3-4", "-", "+", 2, 1), "1-2+3-4");
  EXPECT_EQ(rt::strTran("abc", "", "x"), "abc");
  EXPECT_EQ(rt::strTran(std::string("a\0b", 3), std::string("\0", 1), "0"), "a0b");
}

TEST(StringsTest, TrimsTakeTheirBlanks) {
  EXPECT_EQ(rt::trim("  ab  "), "  ab");
  EXPECT_EQ(rt::trim("ab\r\n"), "ab\r\n");  // TRIM takes spaces only
  EXPECT_EQ(rt::lTrim(" \t ab "), "ab ");
  EXPECT_EQ(rt::allTrim(" c:\\data\\\r\n"), "c:\\data\\");
  EXPECT_EQ(rt::allTrim("     "), "");
  EXPECT_EQ(rt::trimView("x  "), "x");
}

TEST(StringsTest, PaddingCutsOrFills) {
  EXPECT_EQ(rt::padR("C:\\DATA\\", 10), "C:\\DATA\\  ");
  EXPECT_EQ(rt::padR("ABCDEF", 3), "ABC");
  EXPECT_EQ(rt::padL("7", 3, '0'), "007");
  EXPECT_EQ(rt::padL("1234", 3, '0'), "123");
  EXPECT_EQ(rt::padR("x", 0), "");
  EXPECT_EQ(rt::padL("x", -2), "");
}

TEST(StringsTest, SubStrAndLeftCountFromOne) {
  EXPECT_EQ(rt::subStr("C:\\DATA\\X.DBF", 1, 8), "C:\\DATA\\");
  EXPECT_EQ(rt::subStr("ABCDEF", 3), "CDEF");
  EXPECT_EQ(rt::subStr("ABCDEF", 0, 2), "AB");
  EXPECT_EQ(rt::subStr("ABCDEF", -2), "EF");
  EXPECT_EQ(rt::subStr("ABCDEF", -9, 2), "AB");
  EXPECT_EQ(rt::subStr("ABCDEF", 7), "");
  EXPECT_EQ(rt::subStr("ABCDEF", 2, 0), "");
  EXPECT_EQ(rt::left("ABC", 2), "AB");
  EXPECT_EQ(rt::left("ABC", 5), "ABC");
  EXPECT_EQ(rt::left("ABC", -1), "");
}

TEST(StringsTest, SmallBuilders) {
  EXPECT_EQ(rt::upper("orders.dbf \xe4"), "ORDERS.DBF \xe4");
  // Bytes beyond ASCII stay as they are in any locale: they are letters of
  // a code page the program does not know here.
  EXPECT_EQ(rt::lower("ORDERS.DBF \xc4@[`{"), "orders.dbf \xc4@[`{");
  EXPECT_TRUE(rt::equalsIgnoringCase("Orders.Dbf", "ORDERS.dbf"));
  EXPECT_FALSE(rt::equalsIgnoringCase("ORDERS.DBF", "ORDERS.DBX"));
  EXPECT_FALSE(rt::equalsIgnoringCase("\xc4", "\xe4"));
  EXPECT_FALSE(rt::equalsIgnoringCase("ORDERS", "ORDERS "));
  EXPECT_EQ(rt::replicate("-", 78).size(), 78u);
  EXPECT_EQ(rt::replicate("ab", 3), "ababab");
  EXPECT_EQ(rt::replicate("ab", -1), "");
  EXPECT_EQ(rt::space(3), "   ");
  EXPECT_EQ(rt::chr(191), "\xbf");
  EXPECT_EQ(rt::chr(256 + 65), "A");
}

TEST(StringsTest, NonExactComparisonComparesTheRightSideLength) {
  EXPECT_TRUE(rt::nonExactEqual("TX", "T"));
  EXPECT_TRUE(rt::nonExactEqual("T\r\n", "T"));
  EXPECT_TRUE(rt::nonExactEqual("ANY", ""));
  EXPECT_FALSE(rt::nonExactEqual("T", "TX"));
  EXPECT_FALSE(rt::nonExactEqual("t", "T"));
  EXPECT_FALSE(rt::nonExactEqual("", "N"));
}

TEST(StringsTest, TextEqualFollowsSetExact) {
  rt::resetSettings();
  EXPECT_TRUE(rt::textEqual("NO", "N"));
  rt::set(rt::Set::Exact, true);
  EXPECT_FALSE(rt::textEqual("NO", "N"));
  EXPECT_TRUE(rt::textEqual("N  ", "N"));
  rt::resetSettings();
}

TEST(StringsTest, FileMasksMatchWholeNamesIgnoringLetterCase) {
  struct Case {
    const char* mask;
    const char* name;
    bool matches;
  };
  const Case cases[] = {
      {"*.DBF", "orders.dbf", true},   {"*.DBF", "ORDERS.DBF", true},  {"*.DBF", "orders.dbt", false},
      {"*.DBF", "orders.dbf.bak", false}, {"*.DBF", ".DBF", true},    {"ORD?RS.*", "orders.dbf", true},
      {"ORD?RS.*", "ordrs.dbf", false}, {"*", "", true},               {"?", "", false},
      {"a*b*c", "aXbYbZc", true},      {"a*b*c", "aXbYcZ", false},     {"**.dbf", "x.DBF", true},
      {"", "x", false},                {"\xC4*", "\xC4X", true},
  };
  for (const Case& c : cases) EXPECT_EQ(rt::matchesMask(c.mask, c.name), c.matches) << c.mask << " " << c.name;
}

}  // namespace
