// How an output line is written: the byte between values, how the bytes of a
// text value and of a field name become output bytes, the line end. Built
// once per run from the options; the export's fast path, the routine path
// and the field-name line all write through it, so they agree.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace rt {
class TextConverter;
}

namespace app {

// What each stored byte becomes in the output: one to four bytes.
struct ByteMap {
  std::array<std::array<char, 4>, 256> bytes{};
  std::array<std::uint8_t, 256> length{};
  std::size_t widest = 1;  // the most bytes one stored byte becomes
  // Whether every byte below 128 but CR, LF and the quote stays itself.
  bool keepsAscii = false;

  // Every byte as itself.
  static ByteMap identity();
  // Byte `b` becomes `to` (one to four bytes).
  void set(std::uint8_t b, std::string_view to);
  // Sets keepsAscii from the bytes as they are set now.
  void noteAscii();
};

// How text is written, for the encoder: the default substitutes (a block
// kernel), doubled quotes with every other byte kept, any table of a
// single-byte code page, or a multi-byte code page's converter.
enum class TextRule : std::uint8_t { Substitute, DoubleQuote, Table, Convert };

// The characters of a single-byte code page, one per byte; U+FFFD where it
// defines none.
using CodePage = std::array<char32_t, 256>;

struct LineFormat {
  char delimiter = ',';
  TextRule rule = TextRule::Substitute;
  ByteMap values;  // text values
  ByteMap binary;  // text values of binary fields: Latin-1 under a code page
  ByteMap names;   // field names: never substituted or trimmed
  std::string bom; // written before the first line
  bool rfc4180 = false;
  std::shared_ptr<rt::TextConverter> converter;  // for TextRule::Convert
  // Whether a value or name can come out as U+FFFD, the character for what
  // the code page leaves undefined; the writer then counts them.
  bool mayReplace = false;

  // The default output: the substitutes for CR, LF, the quote and byte 141
  // in values; names as stored; commas.
  static LineFormat standard();
};

// The format the options ask for. `rfc4180` doubles quotes instead of
// substituting; `codePage` (nullptr for none) converts values and names to
// UTF-8, the substitutes then being the characters U+00BF, U+00C0 and
// U+00C1, and byte 141 the soft line break only where the code page has no
// letter for it; `bom` writes the UTF-8 byte order mark first.
LineFormat makeLineFormat(bool rfc4180, char delimiter, const CodePage* codePage, bool bom);

// The format of a multi-byte code page, whose text goes through the
// converter of `codePage` (rt::textConverter(), known to convert) and then
// the same rules in UTF-8; binary values are Latin-1, as under a
// single-byte code page.
LineFormat makeConvertingFormat(bool rfc4180, char delimiter, const std::string& codePage, bool bom);

// Writes `n` bytes at `p` through the converter of a TextRule::Convert
// format, values' rules when `value`, names' otherwise; the end of what was
// written (at most 3 bytes for each of `n`).
char* putConverted(const LineFormat& format, char* w, const std::uint8_t* p, std::size_t n, bool value);

// How many U+FFFD the UTF-8 text `s` holds.
std::size_t replacementsIn(std::string_view s);

}  // namespace app
