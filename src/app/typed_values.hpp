// A record's values as data tools read them: each field of the current
// record as a typed cell (NULL, UTF-8 text, a decimal number, a logical, an
// ISO date or moment, or binary bytes), with the kinds of values that had to
// be changed on the way counted for the final report. The typed CSV, JSON
// Lines, the SQL script and the SQLite output all read records through it,
// so they agree on every value.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/db/stored_bytes.hpp"
#include "platform/rt/value.hpp"
#include "src/app/line_format.hpp"

namespace db {
class Table;
}

namespace app {

struct FieldChoice;

enum class CellKind : std::uint8_t { Null, Text, Number, Logical, Date, Moment, Binary };

// One value; its text (for a logical "true" or "false", for binary the raw
// bytes) is TypedReader::text() of it.
struct Cell {
  CellKind kind = CellKind::Null;
  std::uint32_t begin = 0, size = 0;
};

// What a column holds, for a database's column type.
enum class ColumnType : std::uint8_t {
  Text, Decimal, BigInt, Integer, Identity, Currency, Double, Date, Timestamp, Boolean, Binary
};

struct Column {
  std::string name;     // the field name in UTF-8, made unique (_2, _3)
  ColumnType type = ColumnType::Text;
  int precision = 0;    // Decimal: digits in all; for whole numbers, 0 below 19 digits
  int scale = 0;        // Decimal: digits after the point
  bool nullable = false;  // a Visual FoxPro field that may be marked null
};

// The values that had to be changed, by kind, for the final report.
struct TypedCounts {
  std::uint64_t nulBytes = 0;     // NUL bytes taken out of text
  std::uint64_t notNumbers = 0;   // N/F text that is no number: NULL
  std::uint64_t notDates = 0;     // impossible dates: NULL
  std::uint64_t notMoments = 0;   // T/@ outside the years 1 to 9999: NULL
  std::uint64_t notFinite = 0;    // B/O NaN or infinite: NULL
  std::uint64_t notLogicals = 0;  // L neither true, false, ? nor blank: NULL
  std::uint64_t replaced = 0;     // characters the code page leaves undefined: U+FFFD
};

// The report's sentences for `counts`, each after ";;" (the final message's
// line break); "" when nothing was changed.
std::string typedReport(const TypedCounts& counts);

// Names made unique in their order: a repeat of an earlier name gets "_2",
// "_3", ... (a suffix that is itself taken is passed over). `fold` compares
// the names lower-cased, as SQL does.
std::vector<std::string> uniqueNames(std::vector<std::string> names, bool fold);

class LineWriter;

// Eight digits YYYYMMDD that name a day of the years 1 to 9999.
inline bool isRealDate(std::string_view digits);
// Those digits as YYYY-MM-DD at `w`; the end.
inline char* putIsoDate(char* w, std::string_view digits);

class TypedReader {
 public:
  // A reader of the table open in the current work area whose text is
  // decoded by the name rules of `format` (a code page's characters, no
  // substitutes), of the fields `choice` names (every field when null);
  // nullopt when its engine keeps no record bytes.
  static std::optional<TypedReader> forCurrentTable(LineFormat format, const FieldChoice* choice = nullptr);

  const std::vector<Column>& columns() const { return columns_; }
  // Reads the current record; its cells, valid until the next read().
  std::span<const Cell> read();
  std::string_view text(const Cell& c) const { return {buf_.data() + c.begin, c.size}; }
  const TypedCounts& counts() const { return counts_; }

  // The current record written straight into `out`'s next line, as read()
  // would give it: a typed CSV line (RFC 4180 quoting only where needed,
  // NULL an empty unquoted field, binary as \x hex, the writer's delimiter,
  // ended by end()), or a JSON object and LF (written, not ended). Either
  // line can then be kept.
  void csvLine(LineWriter& out);
  void jsonLine(LineWriter& out);

 private:
  enum class Source : std::uint8_t {
    Text, BinaryText, Value, BinaryValue, Number, Integer, Level7Integer, Currency,
    Double, Level7Double, Date, DateTime, Timestamp, Logical, RecNo, Deleted
  };
  struct Field {
    Source source;
    int pos;
    std::uint32_t offset, length;
    int decimals;
    bool nullable;
    bool quotedInJson;     // a JSON string (text, dates, binary), not a number or logical
    std::size_t width;     // the most bytes put() writes for it; 0: a memo or varchar value
    std::size_t csvAfter;  // room the CSV line needs for the fields after it and its end
    std::size_t jsonAfter; // the same for the JSON line
  };

  TypedReader(db::Table& table, LineFormat format) : table_(&table), format_(std::move(format)) {}
  // Sets each field's width and room (plan of the lines).
  void plan();
  // The record's bytes, in place (with db::kRecordPadding on either side).
  const std::uint8_t* record() const;
  // Writes the value of `f` (not a memo or varchar) of `record` at `w`; its
  // end. `kind` says what it is (nothing written for NULL); `plain` that it
  // is text of printable ASCII without a quote, a backslash or `special`,
  // which no line format changes.
  [[gnu::always_inline]] inline char* put(const Field& f, const std::uint8_t* record, char* w, CellKind& kind, bool& plain,
                   char special);
  // A character field's text, trimmed, the short ones sixteen bytes at a time.
  inline char* putCharacter(const std::uint8_t* p, std::uint32_t length, char* w, bool& plain,
                            char special);
  // put() for the values that take the long way.
  char* putOther(const Field& f, const std::uint8_t* p, char* w, CellKind& kind);
  // A memo or varchar field's stored text (trailing blanks removed, unless
  // binary), valid until the next call.
  std::string_view longValue(const Field& f);
  // A memo or varchar value's text (longValue()) at `w`, with room for
  // textRoom() of its size: UTF-8 text, or binary bytes as stored.
  char* putLong(const Field& f, std::string_view raw, char* w, CellKind& kind);
  // The room a value of `width` bytes can take in a line: quoted with every
  // byte a doubled quote, or binary as hex (CSV); escaped as \u00XX (JSON).
  static std::size_t csvRoom(std::size_t width) { return 4 * width + 8; }
  static std::size_t jsonRoom(std::size_t width) { return 6 * width + 8; }
  // Text in UTF-8 through the code page, without NUL bytes, at `w` (room
  // for textRoom() of its size).
  char* putText(std::string_view raw, char* w);
  std::size_t textRoom(std::size_t n) const { return n * widest_ + 4; }
  std::size_t asciiPrefix(const std::uint8_t* p, std::size_t n) const;
  char* number(const Field& f, const std::uint8_t* p, char* w, CellKind& kind);
  char* date(const std::uint8_t* p, std::uint32_t length, char* w, CellKind& kind);
  inline char* logical(std::uint8_t first, char* w, CellKind& kind);
  // Room for `n` more bytes of the record's cells.
  char* room(std::size_t n) {
    if (buf_.size() < size_ + n) buf_.resize(2 * (size_ + n));
    return buf_.data() + size_;
  }
  // The CSV line's field from `begin` to `end` that is not plain, framed;
  // the end of its delimiter.
  char* csvOdd(const LineWriter& out, char* begin, char* end, CellKind kind);
  // The JSON value from `begin` to `end` that is not plain (the text after
  // room for its opening quote), framed; its end.
  char* jsonOdd(char* begin, char* end, CellKind kind);

  db::Table* table_;
  LineFormat format_;
  std::vector<Field> fields_;
  std::vector<Column> columns_;
  std::vector<std::string> keys_;  // the JSON keys, each led by { or a comma
  std::vector<Cell> cells_;
  std::string buf_, scratch_, number_;  // buf_: the cells' text, its first size_ bytes
  std::size_t size_ = 0;
  std::size_t bound_ = 0, csvBound_ = 0, jsonBound_ = 0;  // room a record needs
  rt::Value value_;  // the last memo or varchar value read
  std::size_t widest_ = 3;  // the most UTF-8 bytes one stored byte becomes
  bool asciiKept_ = false;  // the code page writes bytes below 128 as themselves
  bool highStaysHigh_ = false;  // and bytes from 128 on as bytes from 128 on
  TypedCounts counts_;
};

// ---- Inline, as the line kernels run it for every field --------------------

inline char* TypedReader::putCharacter(const std::uint8_t* p, std::uint32_t length, char* w, bool& plain,
                                       char special) {
#if defined(__SSE2__)
  // As the default output's kernel: the blocks are stored as they are while
  // the bits of value bytes and of bytes that may need more than a copy are
  // gathered; the trimmed length comes from the last value byte.
  if (length <= 64 && asciiKept_) {
    std::uint64_t keep = 0, high = 0, odd = 0;
    const __m128i quote = _mm_set1_epi8('"'), backslash = _mm_set1_epi8('\\');
    const __m128i other = _mm_set1_epi8(special), control = _mm_set1_epi8(0x1F);
    for (std::uint32_t k = 0; k < length; k += 16) {
      const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + k));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(w + k), v);
      keep |= std::uint64_t{db::stored::valueBytes(v)} << k;
      high |= std::uint64_t{static_cast<unsigned>(_mm_movemask_epi8(v))} << k;
      const __m128i changed =
          _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(_mm_max_epu8(v, control), control), _mm_cmpeq_epi8(v, quote)),
                       _mm_or_si128(_mm_cmpeq_epi8(v, backslash), _mm_cmpeq_epi8(v, other)));
      odd |= std::uint64_t{static_cast<unsigned>(_mm_movemask_epi8(changed))} << k;
    }
    if (length < 64) keep &= (std::uint64_t{1} << length) - 1;
    const int end = std::bit_width(keep);
    const std::uint64_t inside = end == 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << end) - 1;
    const bool mapped = (high & inside) != 0;
    // Bytes from 128 on become characters beyond ASCII, which no line
    // format changes, where the code page writes none of them as ASCII (and
    // the delimiter is ASCII, so that no byte of theirs is one).
    plain = (odd & inside) == 0 && (!mapped || (highStaysHigh_ && static_cast<signed char>(special) >= 0));
    if ((odd & inside) == 0 && !mapped) return w + end;
    return putText({reinterpret_cast<const char*>(p), static_cast<std::size_t>(end)}, w);
  }
#endif
  // Without the block scan nothing is known of the text: `plain` stays
  // false, as put() set it, and the line format looks at every byte.
  (void)plain;
  (void)special;
  return putText({reinterpret_cast<const char*>(p), db::stored::trimmedLength(p, length)}, w);
}

inline bool isRealDate(std::string_view s) {
  auto num = [&](std::size_t at, std::size_t n) {
    int v = 0;
    for (std::size_t i = at; i < at + n; ++i) v = v * 10 + (s[i] - '0');
    return v;
  };
  const int m = num(4, 2), d = num(6, 2);
  static constexpr int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (m < 1 || m > 12 || d < 1 || d > kDays[m - 1]) return false;
  // The year is looked at for year 0 and for the 29th of February only.
  if (s.compare(0, 4, "0000") == 0) return false;
  if (m != 2 || d != 29) return true;
  const int y = num(0, 4);
  return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

inline char* putIsoDate(char* w, std::string_view s) {
  std::memcpy(w, s.data(), 4);
  w[4] = '-';
  std::memcpy(w + 5, s.data() + 4, 2);
  w[7] = '-';
  std::memcpy(w + 8, s.data() + 6, 2);
  return w + 10;
}

inline char* TypedReader::logical(std::uint8_t first, char* w, CellKind& kind) {
  switch (first) {
    case 'T': case 't': case 'Y': case 'y':
      kind = CellKind::Logical;
      std::memcpy(w, "true", 4);
      return w + 4;
    case 'F': case 'f': case 'N': case 'n':
      kind = CellKind::Logical;
      std::memcpy(w, "false", 5);
      return w + 5;
    case '?': case ' ': case '\0': break;
    default: ++counts_.notLogicals;
  }
  kind = CellKind::Null;
  return w;
}

[[gnu::always_inline]] inline char* TypedReader::put(const Field& f, const std::uint8_t* record, char* w, CellKind& kind, bool& plain,
                              char special) {
  const std::uint8_t* p = record + f.offset;
  plain = false;
  std::string_view text;
  switch (f.source) {
    case Source::Text:
      kind = CellKind::Text;
      return putCharacter(p, f.length, w, plain, special);
    case Source::Number:
      if (!db::stored::plainNumber(p, f.length, f.decimals, text)) break;
      kind = CellKind::Number;
      // The text lies in the padded record: sixteen bytes can be read.
      std::memcpy(w, text.data(), text.size() <= 16 ? 16 : text.size());
      return w + text.size();
    case Source::Date:
      // Eight digits or the empty date; the rest, and a day no calendar
      // has, take the long way.
      if (!db::stored::plainDate(p, f.length, text)) break;
      if (text.empty()) {
        kind = CellKind::Null;
        return w;
      }
      if (!isRealDate(text)) break;
      kind = CellKind::Date;
      return putIsoDate(w, text);
    case Source::Logical: return f.length > 0 ? logical(p[0], w, kind) : (kind = CellKind::Null, w);
    default: break;
  }
  return putOther(f, p, w, kind);
}

}  // namespace app
