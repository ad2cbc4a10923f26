// The output's code page: every code page a table can declare converts
// byte by byte, and binary values are Latin-1 whatever the code page.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "platform/db/code_page_mark.hpp"
#include "platform/rt/code_page.hpp"
#include "src/app/line_writer.hpp"

namespace {

// The code pages of byte 29 that a converter here may not know: Kamenicky
// and Mazovia, which neither iconv nor Windows has, and Mac Greek, which
// glibc's iconv lacks.
const std::set<std::string> kMayBeUnknown = {"895", "620", "MACGREEK"};

// Each byte converted on its own, as the 256-entry map is built: printable
// ASCII is itself under every code page, and most high bytes are
// characters (not U+FFFD, which also stands for what a converter that
// composes characters kept back).
TEST(LineFormat, EveryCodePageOfTheHeaderMarkConvertsByteByByte) {
  std::set<std::string> pages;
  for (int mark = 1; mark < 256; ++mark) pages.insert(db::codePageOfMark(static_cast<std::uint8_t>(mark)));
  pages.erase("");
  ASSERT_GE(pages.size(), 29u);
  for (const std::string& page : pages) {
    const std::string name = rt::codePageName(page);
    rt::CodePageChars chars{};
    const rt::CodePageKind kind = rt::codePageChars(name, chars);
    EXPECT_TRUE(kind != rt::CodePageKind::Unknown || kMayBeUnknown.contains(page)) << page;
    if (kind == rt::CodePageKind::MultiByte) {
      std::string out;
      const std::unique_ptr<rt::TextConverter> converter = rt::textConverter(name);
      ASSERT_NE(converter, nullptr) << page;
      EXPECT_EQ(converter->append("Name, 42 \"x\"", out), 0u) << page;
      EXPECT_EQ(out, "Name, 42 \"x\"") << page;
    }
    if (kind != rt::CodePageKind::SingleByte) continue;
    for (char32_t b = 0x20; b < 0x7F; ++b) EXPECT_EQ(chars[b], b) << page << " byte " << static_cast<int>(b);
    int defined = 0;
    for (std::size_t b = 0x80; b < 0x100; ++b) defined += chars[b] != rt::kReplacementChar;
    EXPECT_GE(defined, 90) << page;
  }
}

// Binary values (the VFP binary flag, types Q, G, P, W, a dBase B memo) are
// one character per byte, Latin-1, under a single-byte code page and under
// a multi-byte one alike, with the substitutes or doubled quotes of text.
TEST(LineFormat, BinaryValuesAreLatin1UnderEveryCodePage) {
  const std::string raw = std::string("\x00" "A\x80\xA4\xFF\"\r\n\x8D", 9);
  const std::string substituted = std::string("\x00", 1) + "A\xC2\x80\xC2\xA4\xC3\xBF\xC3\x81\xC2\xBF\xC3\x80\xC2\xBF";
  const std::string kept = std::string("\x00", 1) + "A\xC2\x80\xC2\xA4\xC3\xBF\"\"\r\n\xC2\x8D";
  rt::CodePageChars cp866{};
  ASSERT_EQ(rt::codePageChars("CP866", cp866), rt::CodePageKind::SingleByte);
  for (const bool rfc4180 : {false, true}) {
    const std::pair<const char*, app::LineFormat> formats[] = {
        {"866", app::makeLineFormat(rfc4180, ',', &cp866, false)},
        {"utf-8", app::makeConvertingFormat(rfc4180, ',', rt::codePageName("utf-8"), false)},
        {"gbk", app::makeConvertingFormat(rfc4180, ',', rt::codePageName("gbk"), false)},
        {"932", app::makeConvertingFormat(rfc4180, ',', rt::codePageName("932"), false)},
    };
    for (const auto& [page, format] : formats) {
      app::LineWriter out(format);
      out.begin();
      out.text(raw, true);
      EXPECT_EQ(out.end(), "\"" + (rfc4180 ? kept : substituted) + "\"\r\n") << page << (rfc4180 ? " rfc4180" : "");
    }
  }
}

}  // namespace
