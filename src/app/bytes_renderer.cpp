#include "src/app/bytes_renderer.hpp"
#include <bit>
#include <cstring>
#include <string_view>
#include "platform/db/engine.hpp"
#include "platform/db/number_text.hpp"
#include "platform/db/stored_bytes.hpp"
#include "platform/db/workarea.hpp"
#include "platform/rt/call_frame.hpp"
#include "platform/rt/strings.hpp"
#include "src/app/line_writer.hpp"
#include "src/app/substitute.hpp"
#include "src/app/values_renderer.hpp"

namespace app {
namespace {

// Room kept readable before and after the copy of a record, for the scans.
constexpr std::size_t kSlack = 16;

std::string_view bytesOf(const std::uint8_t* p, std::size_t n) {
  return {reinterpret_cast<const char*>(p), n};
}

// A character field up to 64 bytes wide is substituted whole, sixteen bytes
// at a time (the bytes after its trimmed end are written over later, hence
// the slack), while the bits of its value bytes are gathered; the trimmed
// length comes from the last such bit. The number of blocks is the field's,
// the same for every record. Wider fields are trimmed first, then copied.
char* putCharacter(char* w, const std::uint8_t* p, std::size_t length) {
#if defined(__SSE2__)
  if (length <= 64) {
    std::uint64_t keep = 0;
    for (std::size_t k = 0; k < length; k += 16) {
      const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + k));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(w + k), substituteBlock(v));
      keep |= std::uint64_t{db::stored::valueBytes(v)} << k;
    }
    if (length < 64) keep &= (std::uint64_t{1} << length) - 1;
    return w + std::bit_width(keep);
  }
#endif
  return copySubstituted(w, bytesOf(p, db::stored::trimmedLength(p, length)));
}

// The same for RFC 4180 output, which keeps every byte: the blocks are
// copied as they are while the bits of value bytes and of quotes are
// gathered, and only a value holding a quote is written again the long way,
// its quotes doubled.
char* putCharacterKept(const LineFormat& format, char* w, const std::uint8_t* p, std::size_t length) {
#if defined(__SSE2__)
  if (length <= 64) {
    std::uint64_t keep = 0, quotes = 0;
    for (std::size_t k = 0; k < length; k += 16) {
      const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + k));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(w + k), v);
      keep |= std::uint64_t{db::stored::valueBytes(v)} << k;
      quotes |= std::uint64_t{static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, _mm_set1_epi8('"'))))} << k;
    }
    if (length < 64) keep &= (std::uint64_t{1} << length) - 1;
    const int end = std::bit_width(keep);
    // A quote of the field is a value byte; the bits past the field are not
    // in `keep`.
    if ((quotes & keep) == 0) return w + end;
    return putText(format, w, p, static_cast<std::size_t>(end));
  }
#endif
  return putText(format, w, p, db::stored::trimmedLength(p, length));
}

}  // namespace

std::optional<BytesRenderer> BytesRenderer::forCurrentTable(LineWriter& out) {
  db::Table* table = db::currentTable();
  const std::optional<db::RecordView> view = table ? table->recordView() : std::nullopt;
  if (!view) return std::nullopt;
  BytesRenderer renderer(*table, out);
  int pos = 0;
  for (const db::StoredField& f : view->fields) {
    Kind kind = Kind::Routine;
    if (!f.nullable) {
      switch (f.kind) {
        case db::FieldKind::Character: kind = Kind::Character; break;
        case db::FieldKind::Number: kind = Kind::Number; break;
        case db::FieldKind::Date: kind = Kind::Date; break;
        case db::FieldKind::Logical: kind = Kind::Logical; break;
        default: break;
      }
    }
    renderer.fields_.push_back(Field{kind, ++pos, f.offset, f.length, f.decimals, f.binary});
  }
  if (pos != table->fieldCount()) return std::nullopt;
  // What the fast cases can write after each field: its closing quote, then
  // a delimiter, two quotes and at most the field's width (a date eight
  // bytes, a logical one, text as many as its stored bytes can become) for
  // every later field, and the line end.
  const std::size_t widest = out.format().values.widest;
  std::size_t rest = 3;
  for (std::size_t i = renderer.fields_.size(); i-- > 0;) {
    Field& f = renderer.fields_[i];
    f.after = rest;
    const std::size_t width = f.kind == Kind::Date ? 8 : f.kind == Kind::Logical ? 1
                              : f.kind == Kind::Routine ? 0
                              : f.kind == Kind::Character ? f.length * widest : f.length;
    rest += 3 + width;
  }
  renderer.bound_ = rest;
  renderer.record_.assign(view->length + 2 * kSlack, 0);
  return renderer;
}

// Works on a copy of the record with room on either side for the scans, and
// writes through a pointer into the writer's line, in room made in advance
// for the widest text the fast cases give (texts of up to 16 bytes are moved
// as one block, hence the slack); a field that takes the long way is handed
// to the writer, and room is made again for the fields after it.
std::string_view BytesRenderer::recordLine() {
  std::memcpy(record_.data() + kSlack, table_->recordView()->bytes, record_.size() - 2 * kSlack);
  const std::uint8_t* record = record_.data() + kSlack;
  LineWriter& out = *out_;
  const LineFormat& format = out.format();
  const char delimiter = format.delimiter;
  // The substitutes of the default output, and the kept bytes of RFC 4180,
  // have kernels of their own.
  const TextRule rule = format.rule;
  out.begin();
  char* w = out.room(bound_ + kSlack);
  for (const Field& f : fields_) {
    *w++ = delimiter;
    *w++ = '"';
    const std::uint8_t* p = record + f.offset;
    std::string_view text;
    if (f.kind == Kind::Character) {
      w = rule == TextRule::Substitute  ? putCharacter(w, p, f.length)
          : rule == TextRule::DoubleQuote ? putCharacterKept(format, w, p, f.length)
                                          : putText(format, w, p, db::stored::trimmedLength(p, f.length), f.binary);
    } else if (f.kind == Kind::Logical) {
      // Picked by index, not by a branch: true and false come in any order.
      *w++ = "FT"[f.length > 0 && db::stored::isTrue(p[0])];
    } else if (const bool plain = fastText(f, p, text); plain && text.size() <= kSlack) {
      std::memcpy(w, text.data(), kSlack);
      w += text.size();
    } else {
      // The writer writes the field whole, its delimiter and quotes included.
      out.wrote(w - 2);
      if (plain) {
        out.plain(text);
      } else {
        writeSlow(f, p);
      }
      w = out.room(f.after + kSlack);
      continue;
    }
    *w++ = '"';
  }
  out.wrote(w);
  return out.end();
}

// The text of a numeric or date field when it can be shown as stored: a
// plain number, a real date, or nothing for an empty date.
bool BytesRenderer::fastText(const Field& f, const std::uint8_t* p, std::string_view& text) {
  if (f.kind == Kind::Number) return db::stored::plainNumber(p, f.length, f.decimals, text);
  return f.kind == Kind::Date && db::stored::plainDate(p, f.length, text);
}

// The long way: numbers through the table layer's rounding to the declared
// decimals (text that is no number as stored, blanks removed at both ends);
// every other field through FIELDGET, VARTOCHAR and TRIM.
void BytesRenderer::writeSlow(const Field& f, const std::uint8_t* p) {
  if (f.kind == Kind::Number) {
    const std::string_view trimmed = db::trimNumericField(bytesOf(p, f.length), scratch_);
    const bool isNumber = db::formatStoredNumber(trimmed, f.decimals, number_);
    // ALLTRIM leaves no trailing blank for TRIM to take.
    out_->plain(rt::allTrimView(isNumber ? std::string_view(number_) : trimmed));
    return;
  }
  rt::Value xValue;
  {
    RT_PROC("DBF2ARRAY");
    xValue = table_->fieldGet(f.pos);
  }
  writeValue(*out_, xValue, f.binary);
}

}  // namespace app
