#include "src/app/bytes_renderer.hpp"
#include <bit>
#include <charconv>
#include <cstring>
#include <string_view>
#include "platform/db/engine.hpp"
#include "platform/db/number_text.hpp"
#include "platform/db/stored_bytes.hpp"
#include "platform/db/workarea.hpp"
#include "platform/rt/call_frame.hpp"
#include "platform/rt/strings.hpp"
#include "src/app/line_writer.hpp"
#include "src/app/record_choice.hpp"
#include "src/app/substitute.hpp"
#include "src/app/values_renderer.hpp"

namespace app {
namespace {

// Texts of up to this many bytes are moved as one block; the record's
// padding and the slack of the room made for a line allow it.
constexpr std::size_t kSlack = db::kRecordPadding;

std::string_view bytesOf(const std::uint8_t* p, std::size_t n) {
  return {reinterpret_cast<const char*>(p), n};
}

// A character field up to 64 bytes wide is substituted whole, sixteen bytes
// at a time (the bytes after its trimmed end are written over later, hence
// the slack), while the bits of its value bytes are gathered; the trimmed
// length comes from the last such bit. The number of blocks is the field's,
// the same for every record. Wider fields are trimmed first, then copied.
inline char* putCharacter(char* w, const std::uint8_t* p, std::size_t length) {
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
inline char* putCharacterKept(char* w, const std::uint8_t* p, std::size_t length) {
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
    return putQuotesDoubled(w, reinterpret_cast<const char*>(p), static_cast<std::size_t>(end));
  }
#endif
  const std::size_t n = db::stored::trimmedLength(p, length);
  return putQuotesDoubled(w, reinterpret_cast<const char*>(p), n);
}

// The same under a single-byte code page: a value all in the ASCII the map
// keeps is copied as it is, any other goes through the map.
inline char* putCharacterMapped(const ByteMap& map, char* w, const std::uint8_t* p, std::size_t length) {
#if defined(__SSE2__)
  if (length <= 64 && map.keepsAscii) {
    std::uint64_t keep = 0, odd = 0;
    for (std::size_t k = 0; k < length; k += 16) {
      const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + k));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(w + k), v);
      keep |= std::uint64_t{db::stored::valueBytes(v)} << k;
      const __m128i changed = _mm_or_si128(
          _mm_or_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8('"')), _mm_cmpeq_epi8(v, _mm_set1_epi8('\r'))),
          _mm_or_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8('\n')), v));
      odd |= std::uint64_t{static_cast<unsigned>(_mm_movemask_epi8(changed))} << k;
    }
    if (length < 64) keep &= (std::uint64_t{1} << length) - 1;
    const int end = std::bit_width(keep);
    // The bytes the map changes are value bytes, as in putCharacterKept().
    if ((odd & keep) == 0) return w + end;
    return putTable(map, w, p, static_cast<std::size_t>(end));
  }
#endif
  return putTable(map, w, p, db::stored::trimmedLength(p, length));
}

// The rules whose text has a kernel of its own; any other goes through
// putText().
constexpr int kSubstitute = 0, kDoubleQuote = 1, kTable = 2, kOther = 3;

}  // namespace

std::optional<BytesRenderer> BytesRenderer::forCurrentTable(LineWriter& out, const FieldChoice* choice) {
  db::Table* table = db::currentTable();
  const std::optional<db::RecordView> view = table ? table->recordView() : std::nullopt;
  if (!view || static_cast<int>(view->fields.size()) != table->fieldCount()) return std::nullopt;
  BytesRenderer renderer(*table, out);
  // A choice of fields is a plan of its own, not a test per field.
  const FieldChoice& chosen = choice ? *choice : everyFieldOf(table->fieldCount());
  if (chosen.recno) renderer.fields_.push_back(Field{Kind::RecNo, false, 0, 0, 10, 0});
  if (chosen.deleted) renderer.fields_.push_back(Field{Kind::Deleted, false, 0, 0, 1, 0});
  for (const int pos : chosen.fields) {
    const db::StoredField& f = view->fields[static_cast<std::size_t>(pos - 1)];
    Kind kind = Kind::Routine;
    if (!f.nullable) {
      switch (f.kind) {
        case db::FieldKind::Character: kind = Kind::Character; break;
        case db::FieldKind::Number: kind = Kind::Number; break;
        case db::FieldKind::Date: kind = Kind::Date; break;
        case db::FieldKind::Logical: kind = Kind::Logical; break;
        case db::FieldKind::Memo: kind = Kind::Memo; break;
        default: break;
      }
    }
    renderer.fields_.push_back(Field{kind, f.binary, pos, f.offset, f.length, f.decimals});
  }
  // What the fast cases can write after each field: for every later field
  // its framing and at most its width (a date eight bytes, a logical one,
  // text as many as its stored bytes can become, a record number ten
  // digits), and the line end.
  const std::size_t widest = out.format().values.widest;
  std::size_t rest = LineWriter::kLineEnd;
  for (std::size_t i = renderer.fields_.size(); i-- > 0;) {
    Field& f = renderer.fields_[i];
    f.after = rest;
    const std::size_t width = f.kind == Kind::Date ? 8 : f.kind == Kind::Logical || f.kind == Kind::Deleted ? 1
                              : f.kind == Kind::Routine || f.kind == Kind::Memo ? 0
                              : f.kind == Kind::Character ? f.length * widest : f.length;
    rest += LineWriter::kFieldFrame + width;
  }
  renderer.bound_ = rest;
  return renderer;
}

std::string_view BytesRenderer::recordLine() {
  const std::uint8_t* record = table_->recordView()->bytes;
  switch (out_->format().rule) {
    case TextRule::Substitute: return render<kSubstitute>(record);
    case TextRule::DoubleQuote: return render<kDoubleQuote>(record);
    case TextRule::Table: return render<kTable>(record);
    default: return render<kOther>(record);
  }
}

// Writes through a pointer into the writer's line, in room made in advance
// for the widest text the fast cases give (texts of up to 16 bytes are
// moved as one block, hence the slack); a field that takes the long way is
// handed to the writer, and room is made again for the fields after it.
template <int Rule>
std::string_view BytesRenderer::render(const std::uint8_t* record) {
  LineWriter& out = *out_;
  const LineFormat& format = out.format();
  out.begin();
  char* w = out.room(bound_ + kSlack);
  for (const Field& f : fields_) {
    const std::uint8_t* p = record + f.offset;
    std::string_view text;
    bool plain = false;
    switch (f.kind) {
      case Kind::Character:
        w = LineWriter::openField(w);
        if constexpr (Rule == kSubstitute) {
          w = putCharacter(w, p, f.length);
        } else if constexpr (Rule == kDoubleQuote) {
          w = putCharacterKept(w, p, f.length);
        } else if constexpr (Rule == kTable) {
          w = putCharacterMapped(f.binary ? format.binary : format.values, w, p, f.length);
        } else {
          w = putText(format, w, p, db::stored::trimmedLength(p, f.length), f.binary);
        }
        w = out.closeField(w);
        continue;
      case Kind::Logical:
        // Picked by index, not by a branch: true and false come in any order.
        w = LineWriter::openField(w);
        *w++ = "FT"[f.length > 0 && db::stored::isTrue(p[0])];
        w = out.closeField(w);
        continue;
      case Kind::Memo:
        w = writeMemo(f, p, w);
        continue;
      case Kind::Number: plain = db::stored::plainNumber(p, f.length, f.decimals, text); break;
      case Kind::Date: plain = db::stored::plainDate(p, f.length, text); break;
      case Kind::Routine: break;
      case Kind::RecNo: {
        const char* end = std::to_chars(recNo_, recNo_ + sizeof recNo_, table_->recNo()).ptr;
        text = {recNo_, static_cast<std::size_t>(end - recNo_)};
        plain = true;
        break;
      }
      case Kind::Deleted:
        w = LineWriter::openField(w);
        *w++ = "FT"[table_->deleted()];
        w = out.closeField(w);
        continue;
    }
    if (plain && text.size() <= kSlack) {
      w = LineWriter::openField(w);
      std::memcpy(w, text.data(), kSlack);
      w = out.closeField(w + text.size());
    } else {
      w = writeLong(f, p, w, plain, text);
    }
  }
  out.wrote(w);
  return out.end();
}

char* BytesRenderer::writeLong(const Field& f, const std::uint8_t* p, char* w, bool plain,
                               std::string_view text) {
  out_->wrote(w);
  if (plain) {
    out_->plain(text);
  } else {
    writeSlow(f, p);
  }
  return out_->room(f.after + kSlack);
}

char* BytesRenderer::writeMemo(const Field& f, const std::uint8_t* p, char* w) {
  out_->wrote(w);
  // A memo that cannot be read goes the long way, which reports it.
  if (table_->memoBytes(f.pos, memo_)) {
    out_->text(rt::trimView(memo_), f.binary);
  } else {
    writeSlow(f, p);
  }
  return out_->room(f.after + kSlack);
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
