// Code pages through iconv: what its converters do that others do not.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/rt/code_page.hpp"

namespace {

// glibc's 949 (UHC) takes in both bytes of a pair it refuses, such as A2 E8,
// before it says so: at the end of a value nothing is left to pass over.
TEST(CodePageTest, APairIconvTakesInBeforeRefusingItEndsTheTextCleanly) {
  const std::unique_ptr<rt::TextConverter> converter = rt::textConverter(rt::codePageName("949"));
  ASSERT_NE(converter, nullptr);
  for (const std::string& tail : {std::string("\xA2\xE8"), std::string("A\xA2\xE8")}) {
    std::string out;
    EXPECT_EQ(converter->append(tail, out), 1u);
    EXPECT_EQ(out, tail.substr(0, tail.size() - 2) + "\xEF\xBF\xBD");
  }
}

}  // namespace
