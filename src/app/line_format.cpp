#include "src/app/line_format.hpp"

#include <algorithm>
#include <cstring>

#include "platform/rt/code_page.hpp"
#include "platform/rt/utf8.hpp"
#include "src/app/line_writer.hpp"

namespace app {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

// The character a stored byte stands for before the output's own rules:
// the byte itself without a code page.
char32_t charOf(const CodePage* page, std::uint8_t b) { return page ? (*page)[b] : b; }

// The bytes of character `c`: UTF-8 under a code page, else the byte itself.
std::string bytesOf(const CodePage* page, char32_t c) {
  return page ? rt::utf8(c) : std::string(1, static_cast<char>(c));
}

// A value's byte: the soft line break 141 reads as CR where the code page
// has no letter for it; without --rfc4180 CR, LF and the quote become their
// substitutes (the bytes 191, 192, 193, or the characters they stand for in
// UTF-8); with it a quote is doubled and the rest stays.
std::string valueBytes(const CodePage* page, bool rfc4180, std::uint8_t b) {
  char32_t c = charOf(page, b);
  if (b == 141 && !rfc4180 && (c == kReplacement || c == 0x8D)) c = '\r';
  if (rfc4180) return c == '"' ? "\"\"" : bytesOf(page, c);
  switch (c) {
    case '\r': return bytesOf(page, 0xBF);
    case '\n': return bytesOf(page, 0xC0);
    case '"': return bytesOf(page, 0xC1);
    default: return bytesOf(page, c);
  }
}

std::string nameBytes(const CodePage* page, bool rfc4180, std::uint8_t b) {
  const char32_t c = charOf(page, b);
  return rfc4180 && c == '"' ? "\"\"" : bytesOf(page, c);
}

// Binary values are read one character per byte (Latin-1) when text is
// converted, under every code page, so that the bytes can be recovered
// from the UTF-8; without a conversion they are written as any other value.
ByteMap binaryMap(bool rfc4180, bool converted) {
  CodePage latin1{};
  for (int i = 0; i < 256; ++i) latin1[static_cast<std::size_t>(i)] = static_cast<char32_t>(i);
  ByteMap map;
  for (int i = 0; i < 256; ++i) {
    const auto b = static_cast<std::uint8_t>(i);
    map.set(b, valueBytes(converted ? &latin1 : nullptr, rfc4180, b));
  }
  map.noteAscii();
  return map;
}

}  // namespace

ByteMap ByteMap::identity() {
  ByteMap map;
  for (int b = 0; b < 256; ++b) map.set(static_cast<std::uint8_t>(b), std::string(1, static_cast<char>(b)));
  map.widest = 1;
  map.noteAscii();
  return map;
}

void ByteMap::set(std::uint8_t b, std::string_view to) {
  std::memcpy(bytes[b].data(), to.data(), to.size());
  length[b] = static_cast<std::uint8_t>(to.size());
  if (to.size() > widest) widest = to.size();
}

void ByteMap::noteAscii() {
  keepsAscii = true;
  for (int b = 0; b < 128; ++b) {
    if (b == '\r' || b == '\n' || b == '"') continue;
    keepsAscii = keepsAscii && length[b] == 1 && bytes[b][0] == static_cast<char>(b);
  }
}

std::size_t replacementsIn(std::string_view s) {
  static const std::string kUtf8 = rt::utf8(kReplacement);
  std::size_t n = 0;
  for (std::size_t at = s.find(kUtf8); at != std::string_view::npos; at = s.find(kUtf8, at + kUtf8.size())) ++n;
  return n;
}

LineFormat LineFormat::standard() { return makeLineFormat(false, ',', nullptr, false); }

LineFormat makeLineFormat(bool rfc4180, char delimiter, const CodePage* codePage, bool bom) {
  LineFormat f;
  f.delimiter = delimiter;
  f.rule = codePage ? TextRule::Table : rfc4180 ? TextRule::DoubleQuote : TextRule::Substitute;
  f.rfc4180 = rfc4180;
  for (int i = 0; i < 256; ++i) {
    const auto b = static_cast<std::uint8_t>(i);
    f.values.set(b, valueBytes(codePage, rfc4180, b));
    f.names.set(b, nameBytes(codePage, rfc4180, b));
  }
  f.values.noteAscii();
  f.binary = binaryMap(rfc4180, codePage != nullptr);
  f.values.widest = std::max(f.values.widest, f.binary.widest);
  f.mayReplace = codePage && std::find(codePage->begin(), codePage->end(), kReplacement) != codePage->end();
  if (bom && codePage) f.bom = "\xEF\xBB\xBF";
  return f;
}

LineFormat makeConvertingFormat(bool rfc4180, char delimiter, const std::string& codePage, bool bom) {
  LineFormat f = makeLineFormat(rfc4180, delimiter, nullptr, bom);
  f.rule = TextRule::Convert;
  f.converter = rt::textConverter(codePage);
  f.binary = binaryMap(rfc4180, true);
  // A byte becomes at most U+FFFD; a character of several bytes no more
  // bytes in UTF-8 than it had; a substitute two bytes for one.
  f.values.widest = f.names.widest = f.binary.widest = 3;
  f.mayReplace = true;
  if (bom) f.bom = "\xEF\xBB\xBF";
  return f;
}

char* putConverted(const LineFormat& format, char* w, const std::uint8_t* p, std::size_t n,
                   bool value) {
  thread_local std::string text;
  text.clear();
  format.converter->append({reinterpret_cast<const char*>(p), n}, text);
  if (format.rfc4180) return putQuotesDoubled(w, text.data(), text.size());
  if (!value) {
    std::memcpy(w, text.data(), text.size());
    return w + text.size();
  }
  // In UTF-8 the bytes of CR, LF and the quote stand only for themselves.
  static const std::string kSubstitutes[3] = {rt::utf8(0xBF), rt::utf8(0xC0), rt::utf8(0xC1)};
  for (const char c : text) {
    const int which = c == '\r' ? 0 : c == '\n' ? 1 : c == '"' ? 2 : -1;
    if (which < 0) {
      *w++ = c;
      continue;
    }
    std::memcpy(w, kSubstitutes[which].data(), 2);
    w += 2;
  }
  return w;
}

}  // namespace app
