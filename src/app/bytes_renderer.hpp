// The export's fast path: the current record of a DBF table rendered as one
// output line straight from its bytes, with exactly the text that DBF2ARRAY,
// VARTOCHAR and TRIM give for it, but without a Value per field. Character,
// numeric, date and logical fields are read in place; every other field
// (memos, nullable and binary fields) and any stored text that is not a
// plain number or date goes through FIELDGET and VARTOCHAR as before.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace db {
class Table;
}

namespace app {

class BytesRenderer {
 public:
  // A renderer for the table open in the current work area; nullopt when its
  // engine keeps no record bytes (the routine path then renders every record).
  static std::optional<BytesRenderer> forCurrentTable();

  // The output line of the current record: its values, each in double
  // quotes, separated by commas, then CR LF. Valid until the next call.
  std::string_view recordLine();

 private:
  enum class Kind : std::uint8_t { Character, Number, Date, Logical, Routine };
  struct Field {
    Kind kind;
    int pos;                // field number for FIELDGET
    std::uint32_t offset;   // in the record, flag byte included
    std::uint32_t length;
    int decimals;
    std::size_t after = 0;  // room the fields after this one need
  };

  explicit BytesRenderer(db::Table& table) : table_(&table) {}
  bool fastText(const Field& f, const std::uint8_t* p, std::string_view& text);
  void appendSlow(std::string& cLine, const Field& f, const std::uint8_t* p);

  db::Table* table_;
  std::vector<Field> fields_;
  std::size_t bound_ = 0;           // room a whole record needs
  std::vector<std::uint8_t> record_;  // the record, with room on either side
  std::string line_;                // the line, with room to spare
  std::string number_, scratch_;    // reused from field to field
};

}  // namespace app
