// A record's values as data tools read them: each field of the current
// record as a typed cell (NULL, UTF-8 text, a decimal number, a logical, an
// ISO date or moment, or binary bytes), with the kinds of values that had to
// be changed on the way counted for the final report. The typed CSV, JSON
// Lines, the SQL script and the SQLite output all read records through it,
// so they agree on every value.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

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
  };

  TypedReader(db::Table& table, LineFormat format) : table_(&table), format_(std::move(format)) {}
  Cell cell(const Field& f, const std::uint8_t* p);
  Cell putText(std::string_view raw);
  std::size_t asciiPrefix(const std::uint8_t* p, std::size_t n) const;
  Cell putBytes(CellKind kind, std::string_view bytes);
  // Room for `n` more bytes of the record's values; done() ends a value
  // written there.
  char* room(std::size_t n) {
    if (buf_.size() < size_ + n) buf_.resize(2 * (size_ + n));
    return buf_.data() + size_;
  }
  Cell done(CellKind kind, const char* end) {
    const auto begin = static_cast<std::uint32_t>(size_);
    size_ = static_cast<std::size_t>(end - buf_.data());
    return Cell{kind, begin, static_cast<std::uint32_t>(size_ - begin)};
  }
  Cell number(const Field& f, const std::uint8_t* p);
  Cell date(const std::uint8_t* p, std::uint32_t length);
  Cell logical(std::uint8_t first);

  db::Table* table_;
  LineFormat format_;
  std::vector<Field> fields_;
  std::vector<Column> columns_;
  std::vector<Cell> cells_;
  std::string buf_, scratch_, number_;  // buf_: the values, its first size_ bytes
  std::size_t size_ = 0;
  std::vector<std::uint8_t> record_;  // the record, with room on either side for the scans
  bool asciiKept_ = false;  // the code page writes bytes below 128 as themselves
  TypedCounts counts_;
};

}  // namespace app
