#include "platform/rt/display.hpp"

#include <gtest/gtest.h>

#include <type_traits>

#include "platform/rt/error_block.hpp"
#include "platform/rt/settings.hpp"
#include "platform/rt/settings_test_helper.hpp"

namespace {

TEST(DisplayTest, OneFormPerType) {
  rt::resetSettings();
  rt::set(rt::Set::DateFormat, "mm/dd/yyyy");
  auto error = std::make_shared<rt::ErrorObject>();
  struct Case {
    rt::Value value;
    const char* text;
  };
  const Case cases[] = {
      {rt::Value("  text  "), "  text  "},
      {rt::Value(rt::Memo{"memo"}), "memo"},
      {rt::Value(21), "21"},
      {rt::Value::number(-3.5, 2), "-3.50"},
      {rt::Value(rt::Number{0, 0, "***"}), "***"},
      {rt::Value(rt::Date::fromYmd(2024, 2, 29)), "02/29/2024"},
      {rt::Value(true), ".T."},
      {rt::Value(false), ".F."},
      {rt::Value(), "NIL"},
      {rt::Value(rt::Array{}), "{}"},
      {rt::Value(rt::Array{1, "a", rt::Array{true}}), "{1, a, {.T.}}"},
      {rt::Value(std::shared_ptr<rt::Object>(error)), "ERROR"},
      {rt::Value(rt::Block([](rt::Array&) { return rt::Value(); })), "{||...}"},
  };
  for (const auto& c : cases) EXPECT_EQ(rt::var2Char(c.value), c.text) << c.value.type();
  rt::resetSettings();
}

TEST(DisplayTest, AnArrayHoldingItselfEnds) {
  rt::Value outer(rt::Array{1});
  outer.array().push_back(outer);
  EXPECT_EQ(rt::var2Char(outer), "{1, {...}}");
  outer.array().clear();  // break the cycle so the array is freed
}

TEST(DisplayTest, EmptyAndValType) {
  EXPECT_TRUE(rt::empty(rt::Value()));
  EXPECT_TRUE(rt::empty(rt::Value(" \r\n\t")));
  EXPECT_TRUE(rt::empty(rt::Value(0)));
  EXPECT_TRUE(rt::empty(rt::Value(rt::Date::empty())));
  EXPECT_TRUE(rt::empty(rt::Value(false)));
  EXPECT_TRUE(rt::empty(rt::Value(rt::Array{})));
  EXPECT_FALSE(rt::empty(rt::Value("x")));
  EXPECT_FALSE(rt::empty(rt::Value(5)));
  EXPECT_FALSE(rt::empty(rt::Value(std::shared_ptr<rt::Object>(std::make_shared<rt::ErrorObject>()))));
  EXPECT_EQ(rt::valType(rt::Value()), "U");
  EXPECT_EQ(rt::valType(rt::Value(rt::Memo{})), "M");
  EXPECT_EQ(rt::valType(rt::Value(rt::Array{})), "A");
  EXPECT_EQ(rt::valType(rt::Value(rt::Block([](rt::Array&) { return rt::Value(); }))), "B");
  EXPECT_EQ(rt::valType(rt::Value(true)), "L");
}

// A pointer never becomes a logical, and a const Value lends its array only
// to be read.
static_assert(!std::is_constructible_v<rt::Value, const std::string*>);
static_assert(!std::is_constructible_v<rt::Value, rt::Array*>);
static_assert(!std::is_constructible_v<rt::Value, std::nullptr_t>);
static_assert(std::is_constructible_v<rt::Value, const char*>);
static_assert(std::is_same_v<decltype(std::declval<const rt::Value&>().array()), const rt::Array&>);
static_assert(std::is_same_v<decltype(std::declval<rt::Value&>().array()), rt::Array&>);

}  // namespace
