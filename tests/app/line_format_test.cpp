// The output's code page: every code page a table can declare converts
// byte by byte, binary values are Latin-1 whatever the code page, and text
// copied in blocks reads as the map byte by byte; the writer's kept lines.
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

namespace {

// Text under a single-byte code page is copied a block at a time while the
// code page keeps its bytes as they are: the output is the byte-by-byte
// map's at every length, wherever bytes the map changes stand.
TEST(LineFormat, TextCopiedInBlocksReadsAsTheMapByteByByte) {
  rt::CodePageChars cp1252{};
  ASSERT_EQ(rt::codePageChars("CP1252", cp1252), rt::CodePageKind::SingleByte);
  for (const bool rfc4180 : {false, true}) {
    const app::LineFormat format = app::makeLineFormat(rfc4180, ',', &cp1252, false);
    ASSERT_TRUE(format.values.keepsAscii);
    for (const char odd : {'\r', '\n', '"', '\x8D', '\xE9'}) {
      for (std::size_t length = 1; length <= 40; ++length) {
        for (std::size_t at = 0; at <= length; ++at) {
          std::string text(length, ' ');
          for (std::size_t i = 0; i < length; ++i) text[i] = static_cast<char>('a' + i % 26);
          if (at < length) text[at] = odd;
          if (at + 17 < length) text[at + 17] = odd;
          const auto* p = reinterpret_cast<const std::uint8_t*>(text.data());
          std::string blocks(length * format.values.widest + 4, '#'), bytes = blocks;
          char* blocksEnd = app::putTable(format.values, blocks.data(), p, length);
          char* bytesEnd = app::putMapped(format.values, bytes.data(), p, length);
          EXPECT_EQ(std::string(blocks.data(), blocksEnd), std::string(bytes.data(), bytesEnd))
              << (rfc4180 ? "rfc4180 " : "") << "byte " << int(static_cast<unsigned char>(odd))
              << " length " << length << " at " << at;
        }
      }
    }
  }
}

// Lines kept in the writer come out in one piece, each as it was ended,
// also when the buffer grows under them; a line ended and not kept is left
// out, and clearing starts the next piece.
TEST(LineWriter, KeptLinesComeOutInOnePiece) {
  app::LineWriter out(app::makeLineFormat(false, ';', nullptr, false));
  out.begin();
  out.plain("1");
  out.text("a\"b");
  EXPECT_EQ(out.end(), "\"1\";\"a\xC1" "b\"\r\n");
  out.keep();
  out.begin();
  EXPECT_EQ(out.end(), "\r\n");
  out.keep();
  out.begin();
  out.plain("dropped");
  out.end();
  const std::string wide(5000, 'w');
  out.begin();
  out.name("N");
  out.text(wide);
  out.end();
  out.keep();
  EXPECT_EQ(out.kept(), "\"1\";\"a\xC1" "b\"\r\n\r\n\"N\";\"" + wide + "\"\r\n");
  out.clearKept();
  out.begin();
  out.plain("2");
  out.end();
  out.keep();
  EXPECT_EQ(out.kept(), "\"2\"\r\n");
}

}  // namespace
