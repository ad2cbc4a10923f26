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
#include "src/app/export_output.hpp"
#include "src/app/line_writer.hpp"
#include "src/app/record_choice.hpp"

namespace app {
namespace {

// Room kept readable before and after the copy of a record, for the scans
// of 16 bytes at a time.
constexpr std::size_t kSlack = 16;

std::string_view bytesOf(const std::uint8_t* p, std::size_t n) {
  return {reinterpret_cast<const char*>(p), n};
}

std::string_view trimEnd(std::string_view s) {
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

bool isLeapYear(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

// Eight digits YYYYMMDD that name a day of the years 1 to 9999.
bool isRealDate(std::string_view s) {
  auto num = [&](std::size_t at, std::size_t n) {
    int v = 0;
    for (std::size_t i = at; i < at + n; ++i) v = v * 10 + (s[i] - '0');
    return v;
  };
  const int y = num(0, 4), m = num(4, 2), d = num(6, 2);
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (y < 1 || m < 1 || m > 12 || d < 1) return false;
  return d <= kDays[m - 1] + (m == 2 && isLeapYear(y) ? 1 : 0);
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
  std::vector<std::string> names;
  const FieldChoice& chosen = choice ? *choice : everyFieldOf(table->fieldCount());
  if (chosen.recno) {
    reader.fields_.push_back(Field{Source::RecNo, 0, 0, 0, 0, false});
    reader.columns_.push_back(Column{kRecnoName, ColumnType::BigInt});
    names.emplace_back(kRecnoName);
  }
  if (chosen.deleted) {
    reader.fields_.push_back(Field{Source::Deleted, 0, 0, 0, 0, false});
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
    reader.fields_.push_back(Field{source, pos, f.offset, f.length, f.decimals, f.nullable});
    reader.columns_.push_back(std::move(column));
    const Cell name = reader.putText(table->fieldName(pos));
    names.emplace_back(reader.text(name));
  }
  names = uniqueNames(std::move(names), false);
  const ByteMap& map = reader.format_.names;
  reader.asciiKept_ = reader.format_.rule != TextRule::Convert;
  for (int b = 0; b < 128 && reader.asciiKept_; ++b) {
    reader.asciiKept_ = map.length[static_cast<std::size_t>(b)] == 1 && map.bytes[static_cast<std::size_t>(b)][0] == b;
  }
  for (std::size_t i = 0; i < names.size(); ++i) reader.columns_[i].name = std::move(names[i]);
  reader.counts_ = {};
  reader.record_.assign(view->length + 2 * kSlack, 0);
  return reader;
}

std::span<const Cell> TypedReader::read() {
  size_ = 0;
  cells_.clear();
  std::memcpy(record_.data() + kSlack, table_->recordView()->bytes, record_.size() - 2 * kSlack);
  const std::uint8_t* record = record_.data() + kSlack;
  for (const Field& f : fields_) {
    cells_.push_back(f.nullable && table_->isNull(f.pos) ? Cell{} : cell(f, record + f.offset));
  }
  return cells_;
}

Cell TypedReader::cell(const Field& f, const std::uint8_t* p) {
  std::string_view fixed = bytesOf(p, f.length);
  switch (f.source) {
    case Source::Text: return putText(fixed.substr(0, db::stored::trimmedLength(p, f.length)));
    case Source::BinaryText: return putBytes(CellKind::Binary, fixed.substr(0, db::stored::trimmedLength(p, f.length)));
    case Source::Value:
    case Source::BinaryValue: {
      rt::Value v;
      {
        RT_PROC("DBF2ARRAY");
        v = table_->fieldGet(f.pos);
      }
      const std::string_view s = v.isText() ? std::string_view(v.text()) : std::string_view();
      return f.source == Source::Value ? putText(trimEnd(s)) : putBytes(CellKind::Binary, s);
    }
    case Source::Number: return number(f, p);
    case Source::Integer:
    case Source::Level7Integer: {
      char* w = room(16);
      const std::int32_t v = f.source == Source::Integer ? db::vfpInteger(p) : db::level7Integer(p);
      return done(CellKind::Number, std::to_chars(w, w + 16, v).ptr);
    }
    case Source::Currency: return putBytes(CellKind::Number, db::currencyText(p));
    case Source::Double:
    case Source::Level7Double: {
      number_ = db::shortestFixed(f.source == Source::Double ? db::vfpDouble(p) : db::level7Double(p));
      if (number_.empty()) {
        ++counts_.notFinite;
        return Cell{};
      }
      return putBytes(CellKind::Number, number_);
    }
    case Source::Date: return date(p, f.length);
    case Source::DateTime:
    case Source::Timestamp: {
      const bool ok = f.source == Source::DateTime ? db::vfpDateTimeIso(p, number_) : db::level7TimestampIso(p, number_);
      if (!ok) ++counts_.notMoments;
      return ok && !number_.empty() ? putBytes(CellKind::Moment, number_) : Cell{};
    }
    case Source::Logical: return f.length > 0 ? logical(p[0]) : Cell{};
    case Source::RecNo: {
      char* w = room(16);
      return done(CellKind::Number, std::to_chars(w, w + 16, table_->recNo()).ptr);
    }
    case Source::Deleted: return putBytes(CellKind::Logical, table_->deleted() ? "true" : "false");
  }
  return Cell{};
}

// Text in UTF-8 through the code page, without the NUL bytes that
// PostgreSQL's text cannot hold.
Cell TypedReader::putText(std::string_view raw) {
  const auto* p = reinterpret_cast<const std::uint8_t*>(raw.data());
  std::size_t n = raw.size();
  char* const w = room(n * std::max<std::size_t>(format_.names.widest, 3) + 4);
  char* end = w;
  // Most text is ASCII, which a code page that keeps it needs no map for;
  // a text of ASCII without NUL bytes is copied and done.
  const std::size_t ascii = asciiKept_ ? asciiPrefix(p, n) : 0;
  std::memcpy(end, p, ascii);
  end += ascii;
  if (ascii == n) return done(CellKind::Text, end);
  p += ascii;
  n -= ascii;
  end = format_.rule == TextRule::Convert ? putConverted(format_, end, p, n, false) : putMapped(format_.names, end, p, n);
  if (std::memchr(w, '\0', static_cast<std::size_t>(end - w))) {
    char* kept = std::remove(w, end, '\0');
    counts_.nulBytes += static_cast<std::uint64_t>(end - kept);
    end = kept;
  }
  if (format_.mayReplace) counts_.replaced += replacementsIn({w, static_cast<std::size_t>(end - w)});
  return done(CellKind::Text, end);
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

Cell TypedReader::putBytes(CellKind kind, std::string_view bytes) {
  char* w = room(bytes.size());
  std::memcpy(w, bytes.data(), bytes.size());
  return done(kind, w + bytes.size());
}

// A blank number is NULL; one whose text is no number (overflow stars) too,
// counted.
Cell TypedReader::number(const Field& f, const std::uint8_t* p) {
  if (std::string_view plain; db::stored::plainNumber(p, f.length, f.decimals, plain)) {
    return putBytes(CellKind::Number, plain);
  }
  const std::string_view trimmed = db::trimNumericField(bytesOf(p, f.length), scratch_);
  if (trimmed.empty()) return Cell{};
  if (!db::formatStoredNumber(trimmed, f.decimals, number_)) {
    ++counts_.notNumbers;
    return Cell{};
  }
  return putBytes(CellKind::Number, number_);
}

Cell TypedReader::date(const std::uint8_t* p, std::uint32_t length) {
  const std::string_view s = bytesOf(p, length);
  const db::stored::DateShape shape = db::stored::dateShape(s);
  if (shape == db::stored::DateShape::Empty) return Cell{};
  if (shape != db::stored::DateShape::Digits || !isRealDate(s)) {
    ++counts_.notDates;
    return Cell{};
  }
  char* w = room(10);
  std::memcpy(w, s.data(), 4);
  w[4] = '-';
  std::memcpy(w + 5, s.data() + 4, 2);
  w[7] = '-';
  std::memcpy(w + 8, s.data() + 6, 2);
  return done(CellKind::Date, w + 10);
}

Cell TypedReader::logical(std::uint8_t first) {
  switch (first) {
    case 'T': case 't': case 'Y': case 'y': return putBytes(CellKind::Logical, "true");
    case 'F': case 'f': case 'N': case 'n': return putBytes(CellKind::Logical, "false");
    case '?': case ' ': case '\0': return Cell{};
    default: ++counts_.notLogicals; return Cell{};
  }
}

}  // namespace app
