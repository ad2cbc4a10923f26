#include "src/app/record_renderer.hpp"

#include <cstring>
#include <string_view>

#include "platform/db/dbf_header.hpp"
#include "platform/db/engine.hpp"
#include "platform/db/field_decode.hpp"
#include "platform/db/number_text.hpp"
#include "platform/db/workarea.hpp"
#include "platform/rt/error.hpp"
#include "platform/rt/strings.hpp"
#include "src/app/export_detail.hpp"

namespace app {
namespace {

constexpr std::uint64_t kBlanks = 0x2020202020202020ULL;  // eight blanks

std::string_view bytesOf(const std::uint8_t* p, std::size_t n) {
  return {reinterpret_cast<const char*>(p), n};
}

// A character field: its value less the trailing blanks and NUL padding
// (FIELDGET reads trailing NULs as blanks, TRIM drops them), substituted.
char* putCharacter(char* w, const std::uint8_t* p, std::size_t length) {
  for (std::uint64_t tail; length >= 8; length -= 8) {
    std::memcpy(&tail, p + length - 8, 8);
    if (tail != kBlanks) break;
  }
  while (length > 0 && (p[length - 1] == ' ' || p[length - 1] == '\0')) --length;
  return copySubstituted(w, bytesOf(p, length));
}

// The common numeric field: blanks around a text that already reads as the
// value's text (an optional minus, digits without a leading zero, a point and
// exactly the declared decimals, and not minus zero). That text is shown as
// stored; false for anything else, which takes the long way.
bool plainNumber(const std::uint8_t* p, std::size_t n, int decimals, std::string_view& text) {
  std::size_t i = 0;
  // Numbers stand right-aligned: skip the blanks before them a word at a time.
  for (std::uint64_t word; i + 8 <= n; i += 8) {
    std::memcpy(&word, p + i, 8);
    if (word != kBlanks) break;
  }
  while (i < n && p[i] == ' ') ++i;
  while (n > i && p[n - 1] == ' ') --n;
  const std::size_t begin = i;
  const bool negative = i < n && p[i] == '-';
  i += negative ? 1 : 0;
  const std::size_t fraction = decimals > 0 ? static_cast<std::size_t>(decimals) + 1 : 0;
  if (n - i < fraction + 1) return false;
  const std::size_t point = n - fraction;
  if (fraction > 0 && p[point] != '.') return false;
  if (p[i] == '0' && point - i > 1) return false;
  // Branch-free digit checks: a byte below '0' wraps to a large number.
  unsigned bad = 0, nonZero = 0;
  for (std::size_t k = i; k < point; ++k) {
    const unsigned d = p[k] - 48u;
    bad |= d > 9 ? 1u : 0u;
    nonZero |= d;
  }
  for (std::size_t k = point + 1; k < n; ++k) {
    const unsigned d = p[k] - 48u;
    bad |= d > 9 ? 1u : 0u;
    nonZero |= d;
  }
  if (bad != 0 || (negative && nonZero == 0)) return false;
  text = bytesOf(p + begin, n - begin);
  return true;
}

bool allDigits(const std::uint8_t* p, std::size_t n) {
  for (std::size_t i = 0; i < n; ++i) {
    if (p[i] < '0' || p[i] > '9') return false;
  }
  return true;
}

bool allAre(const std::uint8_t* p, std::size_t n, std::uint8_t c) {
  for (std::size_t i = 0; i < n; ++i) {
    if (p[i] != c) return false;
  }
  return true;
}

// Appends `text` less its trailing blanks (TRIM).
void appendTrimmed(std::string& cLine, std::string_view text) {
  std::size_t n = text.size();
  while (n > 0 && text[n - 1] == ' ') --n;
  cLine.append(text.data(), n);
}

}  // namespace

std::optional<RecordRenderer> RecordRenderer::forCurrentTable() {
  db::Table* table = db::currentTable();
  if (!table || !table->recordBytes() || !table->layout()) return std::nullopt;
  const db::TableHeader& header = *table->layout();
  RecordRenderer renderer(*table);
  int pos = 0;
  for (const db::FieldDesc& f : header.fields) {
    if (f.system) continue;
    Kind kind = Kind::Routine;
    if (f.nullBit < 0) {
      switch (db::fieldKind(f, header.version)) {
        case db::FieldKind::Character: kind = Kind::Character; break;
        case db::FieldKind::Number: kind = Kind::Number; break;
        case db::FieldKind::Date: kind = Kind::Date; break;
        case db::FieldKind::Logical: kind = Kind::Logical; break;
        default: break;
      }
    }
    renderer.fields_.push_back(Field{kind, ++pos, f.offset, f.length, f.decimals});
  }
  if (pos != table->fieldCount()) return std::nullopt;
  // What the fast cases can write after each field: its closing quote, then
  // a comma, two quotes and at most the field's width (a date eight bytes,
  // a logical one) for every later field, and the line end.
  renderer.after_.assign(renderer.fields_.size(), 1);
  std::size_t rest = 3;
  for (std::size_t i = renderer.fields_.size(); i-- > 0;) {
    renderer.after_[i] = rest;
    const Field& f = renderer.fields_[i];
    const std::size_t width = f.kind == Kind::Date ? 8 : f.kind == Kind::Logical ? 1
                              : f.kind == Kind::Routine ? 0 : f.length;
    rest += 3 + width;
  }
  renderer.bound_ = rest;
  return renderer;
}

// Writes through a pointer into room made in advance for the widest text the
// fast cases give; a field that takes the long way is rendered aside and
// copied in, with room made again for the fields after it. The line's
// string only grows, so its bytes are never cleared from record to record.
std::string_view RecordRenderer::recordLine() {
  const std::uint8_t* record = table_->recordBytes();
  if (line_.size() < bound_) line_.resize(bound_);
  char* w = line_.data();
  for (std::size_t i = 0; i < fields_.size(); ++i) {
    const Field& f = fields_[i];
    if (i > 0) *w++ = ',';
    *w++ = '"';
    const std::uint8_t* p = record + f.offset;
    std::string_view text;
    if (f.kind == Kind::Character) {
      w = putCharacter(w, p, f.length);
    } else if (f.kind == Kind::Logical) {
      *w++ = f.length > 0 && p[0] != '\0' && std::strchr("TtYy", p[0]) ? 'T' : 'F';
    } else {
      if (!fastText(f, p, text)) {
        slow_.clear();
        appendSlow(slow_, f, p);
        text = slow_;
        const auto at = static_cast<std::size_t>(w - line_.data());
        if (line_.size() < at + text.size() + after_[i]) line_.resize(at + text.size() + after_[i]);
        w = line_.data() + at;
      }
      std::memcpy(w, text.data(), text.size());
      w += text.size();
    }
    *w++ = '"';
  }
  *w++ = '\r';
  *w++ = '\n';
  return {line_.data(), static_cast<std::size_t>(w - line_.data())};
}

// The text of a numeric or date field when it can be shown as stored: a
// plain number, a real date, or nothing for a blank date.
bool RecordRenderer::fastText(const Field& f, const std::uint8_t* p, std::string_view& text) {
  if (f.kind == Kind::Number) return plainNumber(p, f.length, f.decimals, text);
  if (f.kind != Kind::Date) return false;
  if (allAre(p, f.length, ' ') || allAre(p, f.length, '\0')) {
    text = {};
    return true;
  }
  if (f.length != 8 || !allDigits(p, 8)) return false;
  text = allAre(p, 8, '0') ? std::string_view() : bytesOf(p, 8);
  return true;
}

// The long way: numbers through the table layer's rounding to the declared
// decimals (text that is no number as stored, blanks removed at both ends);
// every other field through FIELDGET, VARTOCHAR and TRIM.
void RecordRenderer::appendSlow(std::string& cLine, const Field& f, const std::uint8_t* p) {
  if (f.kind == Kind::Number) {
    const std::string_view trimmed = db::trimNumericField(bytesOf(p, f.length), scratch_);
    const bool isNumber = db::formatStoredNumber(trimmed, f.decimals, number_);
    appendTrimmed(cLine, rt::allTrimView(isNumber ? std::string_view(number_) : trimmed));
    return;
  }
  rt::Value xValue;
  {
    RT_PROC("DBF2ARRAY");
    xValue = table_->fieldGet(f.pos);
  }
  appendValue(cLine, xValue);
}

}  // namespace app
