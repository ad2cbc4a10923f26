// Code pages: the names they are given by, UTF-8 read by the program's own
// decoder (one U+FFFD for each maximal ill-formed subpart, the same on every
// system), and the byte maps of the code pages whose converter composes
// characters.
#include <gtest/gtest.h>

#include <string>

#include "platform/rt/code_page.hpp"
#include "platform/rt/utf8.hpp"

namespace {

TEST(CodePageTest, NamesAndNumbersBecomeTheConvertersNames) {
  const std::pair<const char*, const char*> cases[] = {
      {"866", "CP866"},   {"cp1251", "CP1251"},   {" ANSI 1252 ", "CP1252"}, {"OEM 866", "CP866"},
      {"ibm850", "CP850"}, {"KOI8-R", "koi8-r"}, {"65001", "UTF-8"},        {"cp65001", "UTF-8"},
      {"windows-65001", "UTF-8"}, {"utf-8", "UTF-8"}, {"UTF8", "UTF-8"},     {"65001\r\n", "UTF-8"},
  };
  for (const auto& [given, name] : cases) EXPECT_EQ(rt::codePageName(given), name) << given;
  rt::CodePageChars chars{};
  EXPECT_EQ(rt::codePageChars("UTF-8", chars), rt::CodePageKind::MultiByte);
  EXPECT_EQ(rt::codePageChars("nosuch", chars), rt::CodePageKind::Unknown);
  EXPECT_EQ(rt::textConverter("nosuch"), nullptr);
}

// Table 3-8 of the Unicode standard and its neighbours: each maximal
// subpart of an ill-formed sequence is one U+FFFD, a byte that can begin
// none is one on its own.
TEST(CodePageTest, Utf8ReplacesEachMaximalIllFormedSubpartOnce) {
  const auto replacements = [](int n) {
    std::string s;
    for (int i = 0; i < n; ++i) s += "\xEF\xBF\xBD";
    return s;
  };
  const std::string r = replacements(1);
  const struct {
    std::string in, out;
    std::size_t replaced;
  } cases[] = {
      {"plain ASCII, then \xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80", "plain ASCII, then \xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80", 0},
      {"\xED\x9F\xBF\xEE\x80\x80\xF4\x8F\xBF\xBF", "\xED\x9F\xBF\xEE\x80\x80\xF4\x8F\xBF\xBF", 0},
      {"a\xF1\x80\x80\xE1\x80\xC2" "b\x80" "c\x80\xBF" "d", "a" + replacements(3) + "b" + r + "c" + replacements(2) + "d", 6},
      {"\xFD\x95\xA3\xAF\xBE\xA7", replacements(6), 6},  // no lead byte above F4
      {"\xF4\x90\x80\x80", replacements(4), 4},            // beyond U+10FFFF
      {"\xF5\x80", replacements(2), 2},
      {"\xC0\xAF\xE0\x80\xAF\xF0\x80\x80\xAF", replacements(9), 9},  // overlong forms
      {"\xED\xA0\x80\xED\xBF\xBF", replacements(6), 6},               // surrogates
      {"\xE2\x82" "A\xF0\x9F\x98" "B\xC3", r + "A" + r + "B" + r, 3},   // cut short
      {"\xEF\xBF\xBD", r, 0},  // a U+FFFD of the text is no replacement
  };
  const std::unique_ptr<rt::TextConverter> converter = rt::textConverter(rt::codePageName("65001"));
  ASSERT_NE(converter, nullptr);
  for (const auto& c : cases) {
    std::string out = "kept ";
    EXPECT_EQ(converter->append(c.in, out), c.replaced) << c.out;
    EXPECT_EQ(out, "kept " + c.out);
  }
}

// 1255 and 1258 convert a letter only once they know no combining mark
// follows it: each byte's own character must come out all the same.
TEST(CodePageTest, CodePagesThatComposeCharactersGiveEachBytesOwnCharacter) {
  const struct {
    const char* page;
    std::uint8_t byte;
    char32_t c;
  } cases[] = {
      {"1255", 'A', U'A'},   {"1255", 0xE0, U'\u05D0'}, {"1255", 0xFA, U'\u05EA'},
      {"1255", 0xC0, U'\u05B0'}, {"1255", 0x80, U'\u20AC'}, {"1255", 0xD9, rt::kReplacementChar},
      {"1258", 'A', U'A'},   {"1258", 0xC3, U'\u0102'}, {"1258", 0xD0, U'\u0110'},
      {"1258", 0xE3, U'\u0103'}, {"1258", 0xCC, U'\u0300'}, {"1258", 0xDE, U'\u0303'},
      {"1258", 0xFE, U'\u20AB'}, {"1258", 0xE0, U'\u00E0'},
  };
  for (const auto& c : cases) {
    rt::CodePageChars chars{};
    ASSERT_EQ(rt::codePageChars(rt::codePageName(c.page), chars), rt::CodePageKind::SingleByte) << c.page;
    EXPECT_EQ(chars[c.byte], c.c) << c.page << " byte " << int{c.byte};
  }
}

}  // namespace
