#include "src/app/typed_values.hpp"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <set>

#include "platform/db/binary_fields.hpp"
#include "platform/db/engine.hpp"
#include "platform/db/number_text.hpp"
#include "platform/db/stored_bytes.hpp"
#include "platform/db/workarea.hpp"
#include "platform/rt/call_frame.hpp"
#include "platform/rt/strings.hpp"
#include "src/app/line_writer.hpp"
#include "src/app/record_choice.hpp"
#include "src/app/run_parameters.hpp"
#include "src/app/typed_lines.hpp"

namespace app {
namespace {

std::string_view bytesOf(const std::uint8_t* p, std::size_t n) {
  return {reinterpret_cast<const char*>(p), n};
}

std::string_view trimEnd(std::string_view s) {
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

}  // namespace

std::string typedReport(const TypedCounts& c) {
  struct Sentence {
    std::uint64_t TypedCounts::*count;
    std::string_view one, many;
  };
  static constexpr Sentence kSentences[] = {
      {&TypedCounts::nulBytes, "NUL byte was removed from text.", "NUL bytes were removed from text."},
      {&TypedCounts::notNumbers, "value that is not a number was written as NULL.",
       "values that are not numbers were written as NULL."},
      {&TypedCounts::notFinite, "value that is not a finite number was written as NULL.",
       "values that are not finite numbers were written as NULL."},
      {&TypedCounts::notDates, "value that is not a date was written as NULL.",
       "values that are not dates were written as NULL."},
      {&TypedCounts::notMoments, "value that is not a date and time was written as NULL.",
       "values that are not dates and times were written as NULL."},
      {&TypedCounts::notLogicals, "value that is not a logical was written as NULL.",
       "values that are not logicals were written as NULL."},
      {&TypedCounts::replaced, "character undefined in the code page was written as U+FFFD.",
       "characters undefined in the code page were written as U+FFFD."},
  };
  std::string out;
  for (const Sentence& s : kSentences) {
    const std::uint64_t n = c.*s.count;
    if (n > 0) out += ";;" + withSeparators(n) + " " + std::string(n == 1 ? s.one : s.many);
  }
  return out;
}

std::vector<std::string> uniqueNames(std::vector<std::string> names, bool fold) {
  auto key = [&](const std::string& s) { return fold ? rt::lower(s) : s; };
  std::set<std::string> taken;
  for (const std::string& n : names) taken.insert(key(n));
  std::set<std::string> seen;
  for (std::string& n : names) {
    if (seen.insert(key(n)).second) continue;
    // The first name keeps its spelling; each repeat takes the first free suffix.
    for (int k = 2;; ++k) {
      std::string candidate = n + "_" + std::to_string(k);
      if (taken.count(key(candidate)) == 0) {
        n = std::move(candidate);
        break;
      }
    }
    taken.insert(key(n));
    seen.insert(key(n));
  }
  return names;
}

std::optional<TypedReader> TypedReader::forCurrentTable(LineFormat format, const FieldChoice* choice) {
  db::Table* table = db::currentTable();
  const std::optional<db::RecordView> view = table ? table->recordView() : std::nullopt;
  if (!view || static_cast<int>(view->fields.size()) != table->fieldCount()) return std::nullopt;
  TypedReader reader(*table, std::move(format));
  reader.widest_ = std::max<std::size_t>(reader.format_.names.widest, 3);
  std::vector<std::string> names;
  const FieldChoice& chosen = choice ? *choice : everyFieldOf(table->fieldCount());
  if (chosen.recno) {
    reader.fields_.push_back(Field{Source::RecNo, 0, 0, 0, 0, false, false, 0, 0, 0});
    reader.columns_.push_back(Column{kRecnoName, ColumnType::BigInt});
    names.emplace_back(kRecnoName);
  }
  if (chosen.deleted) {
    reader.fields_.push_back(Field{Source::Deleted, 0, 0, 0, 0, false, false, 0, 0, 0});
    reader.columns_.push_back(Column{kDeletedName, ColumnType::Boolean});
    names.emplace_back(kDeletedName);
  }
  for (const int pos : chosen.fields) {
    const db::StoredField& f = view->fields[static_cast<std::size_t>(pos - 1)];
    Source source = Source::Value;
    Column column;
    switch (f.kind) {
      case db::FieldKind::Character: source = f.binary ? Source::BinaryText : Source::Text; break;
      case db::FieldKind::Memo:
      case db::FieldKind::VarChar: source = f.binary ? Source::BinaryValue : Source::Value; break;
      case db::FieldKind::Number:
        source = Source::Number;
        if (f.decimals > 0) {
          column.precision = static_cast<int>(f.length) + f.decimals;
          column.scale = f.decimals;
        } else if (f.length > 18) {
          column.precision = static_cast<int>(f.length);
        }
        column.type = column.precision ? ColumnType::Decimal : ColumnType::BigInt;
        break;
      case db::FieldKind::VfpInteger:
      case db::FieldKind::Level7Integer:
        source = f.kind == db::FieldKind::VfpInteger ? Source::Integer : Source::Level7Integer;
        column.type = f.type == '+' ? ColumnType::Identity : ColumnType::Integer;
        break;
      case db::FieldKind::Currency: source = Source::Currency; column.type = ColumnType::Currency; break;
      case db::FieldKind::VfpDouble: source = Source::Double; column.type = ColumnType::Double; break;
      case db::FieldKind::Level7Double: source = Source::Level7Double; column.type = ColumnType::Double; break;
      case db::FieldKind::Date: source = Source::Date; column.type = ColumnType::Date; break;
      case db::FieldKind::DateTime: source = Source::DateTime; column.type = ColumnType::Timestamp; break;
      case db::FieldKind::Timestamp: source = Source::Timestamp; column.type = ColumnType::Timestamp; break;
      case db::FieldKind::Logical: source = Source::Logical; column.type = ColumnType::Boolean; break;
      case db::FieldKind::Raw: break;
    }
    if (source == Source::BinaryText || source == Source::BinaryValue) column.type = ColumnType::Binary;
    column.nullable = f.nullable;
    reader.fields_.push_back(Field{source, pos, f.offset, f.length, f.decimals, f.nullable, false, 0, 0, 0});
    reader.columns_.push_back(std::move(column));
    const std::string raw = table->fieldName(pos);
    std::string name(reader.textRoom(raw.size()), '\0');
    name.resize(static_cast<std::size_t>(reader.putText(raw, name.data()) - name.data()));
    names.push_back(std::move(name));
  }
  names = uniqueNames(std::move(names), false);
  const ByteMap& map = reader.format_.names;
  reader.asciiKept_ = reader.format_.rule != TextRule::Convert;
  for (int b = 0; b < 128 && reader.asciiKept_; ++b) {
    reader.asciiKept_ = map.length[static_cast<std::size_t>(b)] == 1 && map.bytes[static_cast<std::size_t>(b)][0] == b;
  }
  reader.highStaysHigh_ = reader.asciiKept_;
  for (std::size_t b = 128; b < 256 && reader.highStaysHigh_; ++b) {
    reader.highStaysHigh_ = static_cast<unsigned char>(map.bytes[b][0]) >= 0x80;
  }
  for (std::size_t i = 0; i < names.size(); ++i) reader.columns_[i].name = std::move(names[i]);
  reader.keys_ = jsonKeys(reader.columns_);
  reader.cells_.resize(reader.fields_.size());
  reader.plan();
  reader.counts_ = {};
  return reader;
}

// The most each field's value can take, and the room a whole record's
// cells and lines need from each field on.
void TypedReader::plan() {
  bound_ = 64;
  csvBound_ = LineWriter::kLineEnd + 64;
  jsonBound_ = 2 + 64;
  for (std::size_t i = fields_.size(); i-- > 0;) {
    Field& f = fields_[i];
    f.csvAfter = csvBound_;
    f.jsonAfter = jsonBound_;
    switch (f.source) {
      case Source::Text: f.width = textRoom(f.length) + 16; break;
      case Source::BinaryText: f.width = f.length; break;
      case Source::Value: case Source::BinaryValue: f.width = 0; break;
      // Rounded to the declared decimals, at most 400 digits.
      case Source::Number: f.width = f.length + static_cast<std::size_t>(f.decimals) + 420; break;
      case Source::Double: case Source::Level7Double: f.width = 400; break;
      case Source::Date: f.width = 16; break;
      default: f.width = 32;
    }
    f.quotedInJson = f.source == Source::Text || f.source == Source::BinaryText || f.source == Source::Value ||
                     f.source == Source::BinaryValue || f.source == Source::Date ||
                     f.source == Source::DateTime || f.source == Source::Timestamp;
    bound_ += f.width;
    csvBound_ += csvRoom(f.width);
    jsonBound_ += keys_[i].size() + jsonRoom(f.width);
  }
}

const std::uint8_t* TypedReader::record() const { return table_->recordView()->bytes; }

std::span<const Cell> TypedReader::read() {
  const std::uint8_t* rec = record();
  size_ = 0;
  char* w = room(bound_);
  for (std::size_t i = 0; i < fields_.size(); ++i) {
    const Field& f = fields_[i];
    Cell& c = cells_[i];
    c = Cell{};
    if (f.nullable && table_->isNull(f.pos)) continue;
    CellKind kind = CellKind::Null;
    std::size_t begin = size_;
    if (f.width == 0) {
      const std::string_view raw = longValue(f);
      begin = size_ = static_cast<std::size_t>(w - buf_.data());
      w = putLong(f, raw, room(textRoom(raw.size()) + bound_), kind);
    } else {
      bool plain;
      begin = static_cast<std::size_t>(w - buf_.data());
      w = put(f, rec, w, kind, plain, '"');
    }
    size_ = static_cast<std::size_t>(w - buf_.data());
    if (kind != CellKind::Null) c = Cell{kind, static_cast<std::uint32_t>(begin), static_cast<std::uint32_t>(size_ - begin)};
  }
  return cells_;
}

std::string_view TypedReader::longValue(const Field& f) {
  {
    RT_PROC("DBF2ARRAY");
    value_ = table_->fieldGet(f.pos);
  }
  const std::string_view s = value_.isText() ? std::string_view(value_.text()) : std::string_view();
  return f.source == Source::Value ? trimEnd(s) : s;
}

char* TypedReader::putLong(const Field& f, std::string_view raw, char* w, CellKind& kind) {
  if (f.source == Source::Value) {
    kind = CellKind::Text;
    return putText(raw, w);
  }
  kind = CellKind::Binary;
  std::memcpy(w, raw.data(), raw.size());
  return w + raw.size();
}

char* TypedReader::putOther(const Field& f, const std::uint8_t* p, char* w, CellKind& kind) {
  kind = CellKind::Null;
  auto copy = [&](CellKind k, std::string_view bytes) {
    kind = k;
    std::memcpy(w, bytes.data(), bytes.size());
    return w + bytes.size();
  };
  switch (f.source) {
    case Source::Text: kind = CellKind::Text; return putText(bytesOf(p, db::stored::trimmedLength(p, f.length)), w);
    case Source::BinaryText: return copy(CellKind::Binary, bytesOf(p, db::stored::trimmedLength(p, f.length)));
    case Source::Value: case Source::BinaryValue: return w;
    case Source::Number: return number(f, p, w, kind);
    case Source::Integer:
    case Source::Level7Integer: {
      const std::int32_t v = f.source == Source::Integer ? db::vfpInteger(p) : db::level7Integer(p);
      kind = CellKind::Number;
      return std::to_chars(w, w + 16, v).ptr;
    }
    case Source::Currency: return copy(CellKind::Number, db::currencyText(p));
    case Source::Double:
    case Source::Level7Double: {
      number_ = db::shortestFixed(f.source == Source::Double ? db::vfpDouble(p) : db::level7Double(p));
      if (number_.empty()) {
        ++counts_.notFinite;
        return w;
      }
      return copy(CellKind::Number, number_);
    }
    case Source::Date: return date(p, f.length, w, kind);
    case Source::DateTime:
    case Source::Timestamp: {
      const bool ok = f.source == Source::DateTime ? db::vfpDateTimeIso(p, number_) : db::level7TimestampIso(p, number_);
      if (!ok) ++counts_.notMoments;
      return ok && !number_.empty() ? copy(CellKind::Moment, number_) : w;
    }
    case Source::Logical: return f.length > 0 ? logical(p[0], w, kind) : w;
    case Source::RecNo: kind = CellKind::Number; return std::to_chars(w, w + 16, table_->recNo()).ptr;
    case Source::Deleted: return logical(table_->deleted() ? 'T' : 'F', w, kind);
  }
  return w;
}

// Text in UTF-8 through the code page, without the NUL bytes that
// PostgreSQL's text cannot hold.
char* TypedReader::putText(std::string_view raw, char* const w) {
  const auto* p = reinterpret_cast<const std::uint8_t*>(raw.data());
  std::size_t n = raw.size();
  char* end = w;
  // Most text is ASCII, which a code page that keeps it needs no map for;
  // a text of ASCII without NUL bytes is copied and done.
  const std::size_t ascii = asciiKept_ ? asciiPrefix(p, n) : 0;
  std::memcpy(end, p, ascii);
  end += ascii;
  if (ascii == n) return end;
  p += ascii;
  n -= ascii;
  end = format_.rule == TextRule::Convert ? putConverted(format_, end, p, n, false) : putMapped(format_.names, end, p, n);
  if (std::memchr(w, '\0', static_cast<std::size_t>(end - w))) {
    char* kept = std::remove(w, end, '\0');
    counts_.nulBytes += static_cast<std::uint64_t>(end - kept);
    end = kept;
  }
  if (format_.mayReplace) counts_.replaced += replacementsIn({w, static_cast<std::size_t>(end - w)});
  return end;
}

// How many bytes at `p` are ASCII other than NUL, up to `n`.
std::size_t TypedReader::asciiPrefix(const std::uint8_t* p, std::size_t n) const {
  std::size_t i = 0;
#if defined(__SSE2__)
  for (; i + 16 <= n; i += 16) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
    const unsigned other = static_cast<unsigned>(_mm_movemask_epi8(v)) |
                           static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, _mm_setzero_si128())));
    if (other != 0) return i + static_cast<std::size_t>(__builtin_ctz(other));
  }
#endif
  while (i < n && p[i] != 0 && p[i] < 0x80) ++i;
  return i;
}

// A blank number is NULL; one whose text is no number (overflow stars) too,
// counted.
char* TypedReader::number(const Field& f, const std::uint8_t* p, char* w, CellKind& kind) {
  kind = CellKind::Null;
  const std::string_view trimmed = db::trimNumericField(bytesOf(p, f.length), scratch_);
  if (trimmed.empty()) return w;
  if (!db::formatStoredNumber(trimmed, f.decimals, number_)) {
    ++counts_.notNumbers;
    return w;
  }
  kind = CellKind::Number;
  std::memcpy(w, number_.data(), number_.size());
  return w + number_.size();
}

char* TypedReader::date(const std::uint8_t* p, std::uint32_t length, char* w, CellKind& kind) {
  const std::string_view s = bytesOf(p, length);
  const db::stored::DateShape shape = db::stored::dateShape(s);
  kind = CellKind::Null;
  if (shape == db::stored::DateShape::Empty) return w;
  if (shape != db::stored::DateShape::Digits || !isRealDate(s)) {
    ++counts_.notDates;
    return w;
  }
  kind = CellKind::Date;
  return putIsoDate(w, s);
}

}  // namespace app
