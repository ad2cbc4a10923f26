// Code pages in the browser: the tables made from iconv when the web build
// is built (code_page_tables.hpp), read the way iconv reads them.
#include <algorithm>
#include <array>
#include <span>

#include "platform/rt/code_page_system.hpp"
#include "platform/rt/code_page_tables.hpp"
#include "platform/rt/strings.hpp"
#include "platform/rt/utf8.hpp"

namespace rt::sys {
namespace {

// The page named `name` (letter case ignored, as iconv ignores it) in
// `pages`; nullptr when there is none.
template <typename Page>
const Page* find(std::span<const Page> pages, const std::string& name) {
  const std::string wanted = upper(name);
  for (const Page& p : pages) {
    if (upper(p.name) == wanted) return &p;
  }
  return nullptr;
}

const tables::DoubleBytePage* findDoubleByte(const std::string& name) {
  return find(std::span(tables::kDoubleBytePages, tables::kDoubleBytePageCount), name);
}

// A double-byte code page through its table. As with iconv, a lead byte
// whose pair is undefined, or that ends the text, becomes one U+FFFD and
// the byte after it is read afresh; a pair iconv takes in before refusing
// it goes with the byte after it, as the Linux program's loop passes over
// one byte after iconv's position.
class TableConverter final : public TextConverter {
 public:
  explicit TableConverter(const tables::DoubleBytePage& page) : page_(page) {
    unsigned char row = 0;
    for (std::size_t b = 0; b < 256; ++b) {
      if (page.singles[b] == tables::kLeadByte) rowOf_[b] = row++;
    }
  }

  std::size_t append(std::string_view in, std::string& out) override {
    std::size_t replaced = 0;
    const auto* p = reinterpret_cast<const unsigned char*>(in.data());
    for (std::size_t i = 0, used = 1; i < in.size(); i += used) {
      char32_t c = page_.singles[p[i]];
      used = 1;
      if (c == tables::kLeadByte) {
        const char32_t both = i + 1 < in.size() ? pair(p[i], p[i + 1]) : 0;
        c = both != 0 && both != tables::kUndefinedPair ? both : kReplacementChar;
        used = both == 0 ? 1 : both != tables::kUndefinedPair ? 2 : std::min<std::size_t>(3, in.size() - i);
      }
      if (c == kReplacementChar) ++replaced;
      out += utf8(c);
    }
    return replaced;
  }

 private:
  // The character of the pair `lead`, `trail`; 0 when it has none.
  char32_t pair(unsigned char lead, unsigned char trail) const {
    if (trail < page_.lowTrail || trail > page_.highTrail) return 0;
    const std::size_t width = page_.highTrail - page_.lowTrail + 1u;
    return page_.pairs[rowOf_[lead] * width + (trail - page_.lowTrail)];
  }

  const tables::DoubleBytePage& page_;
  std::array<unsigned char, 256> rowOf_{};
};

}  // namespace

CodePageKind codePageChars(const std::string& name, CodePageChars& chars) {
  if (const auto* page = find(std::span(tables::kSingleBytePages, tables::kSingleBytePageCount), name)) {
    chars = page->chars;
    return CodePageKind::SingleByte;
  }
  return findDoubleByte(name) ? CodePageKind::MultiByte : CodePageKind::Unknown;
}

std::unique_ptr<TextConverter> textConverter(const std::string& name) {
  const tables::DoubleBytePage* page = findDoubleByte(name);
  if (!page) return nullptr;
  return std::make_unique<TableConverter>(*page);
}

}  // namespace rt::sys
